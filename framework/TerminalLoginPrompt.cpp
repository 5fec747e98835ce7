#include "framework/TerminalLoginPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <optional>

namespace tabulix {

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

std::string Cut(std::string text, std::size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
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
  Write(out, "\nBenutzername [");
  Write(out, userName);
  Write(out, "]: ");
  std::optional<std::string> name = ReadLine(in);
  if (!name) return false;
  Write(out, "Paßwort: ");
  std::optional<std::string> typed;
  {
    EchoOff echoOff(in);
    typed = ReadLine(in);
    if (echoOff.Active()) Write(out, "\n");
  }
  if (!typed) return false;
  if (!name->empty()) userName = Cut(*name, kMaxTextLength);
  password = Cut(*typed, kMaxTextLength);
  return true;
}

}  // namespace tabulix
