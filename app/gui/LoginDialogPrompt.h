#pragma once

#include "framework/LoginDialogService.h"

namespace tabulix::app {

// The login prompt of the window: a modal TLoginDialog, made anew for each prompt.
class LoginDialogPrompt final : public LoginDialogService {
 public:
  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override;
};

}  // namespace tabulix::app
