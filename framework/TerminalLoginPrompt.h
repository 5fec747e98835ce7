#pragma once

#include <string>
#include <string_view>

#include "framework/LoginDialogService.h"

namespace tabulix {

// The login prompt of a program without a window: asks on the controlling terminal for the
// user name (Enter keeps the one offered) and the password (not echoed). Without a terminal,
// or at end of input, it counts as cancelled. Like the dialog's edits it keeps at most 31
// characters of each text.
class TerminalLoginPrompt final : public LoginDialogService {
 public:
  // Uses the controlling terminal, opened anew for each prompt.
  TerminalLoginPrompt() = default;
  // Uses the given descriptors (not owned), for instance the two ends of pipes.
  TerminalLoginPrompt(int inputFd, int outputFd) : inputFd_(inputFd), outputFd_(outputFd) {}

  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override;

  static constexpr std::size_t kMaxTextLength = 31;

 private:
  bool Ask(int in, int out, std::string_view databaseName, std::string& userName,
           std::string& password) const;

  int inputFd_ = -1;
  int outputFd_ = -1;
};

}  // namespace tabulix
