#include "app/core/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"

extern char** environ;

namespace tabulix::app {
namespace {

constexpr std::size_t kErrorTextLimit = 64 * 1024;

void CloseFd(int& fd) noexcept {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Owns the file actions of posix_spawn.
class SpawnActions {
 public:
  SpawnActions() { posix_spawn_file_actions_init(&actions_); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
  SpawnActions(const SpawnActions&) = delete;
  SpawnActions& operator=(const SpawnActions&) = delete;
  posix_spawn_file_actions_t* Get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

ChildProcess::ChildProcess(const Options& options) {
  int channel[2] = {-1, -1};
  int error[2] = {-1, -1};
  if (::pipe2(channel, O_CLOEXEC) != 0 || ::pipe2(error, O_CLOEXEC) != 0) {
    const std::string reason = std::strerror(errno);
    for (int* fd : {&channel[0], &channel[1], &error[0], &error[1]}) CloseFd(*fd);
    throw Exception(FormatMessage("Cannot make a pipe: %s", {reason}));
  }
  SpawnActions actions;
  posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
  const std::string output = options.outputPath.empty() ? "/dev/null" : options.outputPath;
  posix_spawn_file_actions_addopen(actions.Get(), 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  // dup2 leaves the copies open across exec; the originals close there (O_CLOEXEC).
  posix_spawn_file_actions_adddup2(actions.Get(), error[1], 2);
  posix_spawn_file_actions_adddup2(actions.Get(), channel[1], 3);

  std::vector<std::string> environment;
  for (char** entry = environ; *entry; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const std::string& extra : options.environment) {
      replaced = replaced || extra.compare(0, name.size() + 1, std::string(name) + "=") == 0;
    }
    if (!replaced) environment.emplace_back(text);
  }
  environment.insert(environment.end(), options.environment.begin(), options.environment.end());
  std::vector<char*> envp;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> args = options.argv;
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  pid_t pid = -1;
  const int failed =
      argv.size() > 1 ? posix_spawn(&pid, argv[0], actions.Get(), nullptr, argv.data(), envp.data())
                      : EINVAL;
  CloseFd(channel[1]);
  CloseFd(error[1]);
  if (failed != 0) {
    CloseFd(channel[0]);
    CloseFd(error[0]);
    throw Exception(
        FormatMessage("Cannot start %s: %s",
                      {options.argv.empty() ? "" : options.argv[0], std::strerror(failed)}));
  }
  pid_ = pid;
  channel_ = channel[0];
  error_ = error[0];
}

ChildProcess::~ChildProcess() {
  Release();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      channel_(std::exchange(other.channel_, -1)),
      error_(std::exchange(other.error_, -1)),
      channelText_(std::move(other.channelText_)),
      errorText_(std::move(other.errorText_)) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Release();
    pid_ = std::exchange(other.pid_, -1);
    channel_ = std::exchange(other.channel_, -1);
    error_ = std::exchange(other.error_, -1);
    channelText_ = std::move(other.channelText_);
    errorText_ = std::move(other.errorText_);
  }
  return *this;
}

void ChildProcess::Release() noexcept {
  CloseFd(channel_);
  CloseFd(error_);
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
  }
}

void ChildProcess::ReadFrom(int fd) {
  if (fd < 0 || (fd != channel_ && fd != error_)) return;
  char buffer[4096];
  const ssize_t n = ::read(fd, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
  if (n <= 0) {
    CloseFd(fd == channel_ ? channel_ : error_);
    return;
  }
  std::string& text = fd == channel_ ? channelText_ : errorText_;
  text.append(buffer, static_cast<std::size_t>(n));
  if (fd == error_ && errorText_.size() > kErrorTextLimit) {
    errorText_.erase(0, errorText_.size() - kErrorTextLimit);
  }
}

std::vector<std::string> ChildProcess::TakeChannelLines() {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = channelText_.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(channelText_.substr(start, end - start));
  }
  channelText_.erase(0, start);
  return lines;
}

int ChildProcess::Wait() {
  if (pid_ <= 0) return -1;
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0) {
    if (errno != EINTR) {
      pid_ = -1;
      return -1;
    }
  }
  pid_ = -1;
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
}

}  // namespace tabulix::app
