#pragma once

#include <string>
#include <string_view>

#include "framework/LoginDialogService.h"

namespace tabulix::app {

// The login prompt of the command line: asks on the controlling terminal for the user name
// (Enter keeps the one offered) and the password (not echoed). Without a terminal, or at end of
// input, it counts as cancelled. A text is never cut: the connection keeps at most
// kMaxTextLength bytes of each, so a longer one is refused with a note and asked for again.
class TerminalLoginPrompt final : public LoginDialogService {
 public:
  // Uses the controlling terminal, opened anew for each prompt.
  TerminalLoginPrompt() = default;
  // Uses the given descriptors (not owned), for instance the two ends of pipes.
  TerminalLoginPrompt(int inputFd, int outputFd) : inputFd_(inputFd), outputFd_(outputFd) {}

  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override;

  // What the connection component passes on of a user name or password.
  static constexpr std::size_t kMaxTextLength = 255;

 private:
  bool Ask(int in, int out, std::string_view databaseName, std::string& userName,
           std::string& password) const;

  int inputFd_ = -1;
  int outputFd_ = -1;
};

}  // namespace tabulix::app
