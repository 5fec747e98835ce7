#pragma once

#include <string>
#include <string_view>

namespace tabulix {

// The modal database login dialog, a process-wide platform service (PlatformServices).
class LoginDialogService {
 public:
  virtual ~LoginDialogService() = default;
  // Shows the database name, offers userName as typed so far and an empty password. OK
  // returns true with both texts replaced by what was entered (an empty password included);
  // cancel returns false and leaves both alone.
  virtual bool Execute(std::string_view databaseName, std::string& userName,
                       std::string& password) = 0;
};

// Without a window nobody can be asked: every prompt counts as cancelled, so a component that
// wants a login ends its connect with the silent abort. A program that can ask (a terminal,
// a dialog) installs its own prompt.
class NoLoginDialog final : public LoginDialogService {
 public:
  bool Execute(std::string_view /*databaseName*/, std::string& /*userName*/,
               std::string& /*password*/) override {
    return false;
  }
};

}  // namespace tabulix
