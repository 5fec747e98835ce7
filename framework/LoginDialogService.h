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

}  // namespace tabulix
