#include "app/cli/TerminalLoginPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <optional>

namespace tabulix::app {

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Switches echo off while it lives; does nothing on a descriptor that is not a terminal.
class EchoOff {
 public:
  explicit EchoOff(int fd) : fd_(fd) {
    termios settings{};
    if (::tcgetattr(fd_, &settings) != 0) return;
    saved_ = settings;
    settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(fd_, TCSAFLUSH, &settings);
  }
  ~EchoOff() {
    if (saved_) ::tcsetattr(fd_, TCSAFLUSH, &*saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;
  bool Active() const { return saved_.has_value(); }

 private:
  int fd_;
  std::optional<termios> saved_;
};

void Write(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t written = ::write(fd, text.data(), text.size());
    if (written <= 0) return;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

// One line without its line end; nothing at end of input.
std::optional<std::string> ReadLine(int fd) {
  std::string line;
  char c = 0;
  for (;;) {
    ssize_t n = ::read(fd, &c, 1);
    if (n <= 0) {
      if (line.empty()) return std::nullopt;
      break;
    }
    if (c == '\n') break;
    line += c;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Reads one answer, asking again while it is longer than the connection passes on; nothing at
// end of input.
std::optional<std::string> ReadFitting(int in, int out, std::string_view question, bool hidden) {
  for (;;) {
    Write(out, question);
    std::optional<std::string> line;
    {
      EchoOff echoOff(hidden ? in : -1);
      line = ReadLine(in);
      if (echoOff.Active()) Write(out, "\n");
    }
    if (!line || line->size() <= TerminalLoginPrompt::kMaxTextLength) return line;
    Write(out, "Zu lang: höchstens " + std::to_string(TerminalLoginPrompt::kMaxTextLength) +
                   " Bytes, bitte erneut eingeben.\n");
  }
}

}  // namespace

bool TerminalLoginPrompt::Execute(std::string_view databaseName, std::string& userName,
                                  std::string& password) {
  if (inputFd_ >= 0) return Ask(inputFd_, outputFd_, databaseName, userName, password);
  FileDescriptor tty(::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (tty.get() < 0) return false;
  return Ask(tty.get(), tty.get(), databaseName, userName, password);
}

bool TerminalLoginPrompt::Ask(int in, int out, std::string_view databaseName, std::string& userName,
                              std::string& password) const {
  Write(out, "Datenbank-Login\nDatenbank: ");
  Write(out, databaseName);
  Write(out, "\n");
  std::optional<std::string> name =
      ReadFitting(in, out, "Benutzername [" + userName + "]: ", false);
  if (!name) return false;
  std::optional<std::string> typed = ReadFitting(in, out, "Paßwort: ", true);
  if (!typed) return false;
  if (!name->empty()) userName = std::move(*name);
  password = std::move(*typed);
  return true;
}

}  // namespace tabulix::app
