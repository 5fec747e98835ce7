#pragma once

#include <sys/types.h>
#include <string>
#include <vector>

namespace tabulix::app {

// A running child process (posix_spawn), owned: the destructor ends it (SIGTERM) and waits for
// it, so no child outlives its owner or is left a zombie. Its standard input is /dev/null, its
// standard output a file (or /dev/null), and its standard error and descriptor 3 pipes that the
// owner reads: descriptor 3 is the channel on which the child reports in lines.
class ChildProcess {
 public:
  struct Options {
    std::vector<std::string> argv;  // argv[0] is the program's path
    // NAME=VALUE entries added to (or replacing those of) this process's environment.
    std::vector<std::string> environment;
    std::string outputPath;  // empty: /dev/null
  };

  ChildProcess() = default;
  // Raises tabulix::Exception when the child cannot be started.
  explicit ChildProcess(const Options& options);
  ~ChildProcess();
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running() const { return pid_ > 0; }
  // The read ends of the channel and of standard error; -1 once they reached their end.
  int ChannelFd() const { return channel_; }
  int ErrorFd() const { return error_; }
  // Reads what the pipe behind fd holds now into the matching text; closes it at its end.
  // Call when poll() says the descriptor is readable.
  void ReadFrom(int fd);
  // Complete lines of the channel read so far, taken out; the unfinished rest stays.
  std::vector<std::string> TakeChannelLines();
  // What the child wrote on standard error (the last 64 KiB).
  const std::string& ErrorText() const { return errorText_; }
  // Waits for the child when both pipes have ended and gives its exit status, or 128 + the
  // signal that ended it.
  int Wait();

 private:
  void Release() noexcept;

  pid_t pid_ = -1;
  int channel_ = -1;
  int error_ = -1;
  std::string channelText_;
  std::string errorText_;
};

}  // namespace tabulix::app
