#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "framework/LoginDialogService.h"

namespace tabulix::app {

// The login prompt of tabulix-cli. A password known in advance (from --password-file or the
// variable TABULIX_PASSWORD) answers the prompt at once with the user name as given; without
// one the terminal prompt asks. A password is never cut: one longer than the connection passes
// on is refused before anything is sent.
class CliLogin final : public LoginDialogService {
 public:
  // prompt is not owned and asks when no password is known.
  CliLogin(std::optional<std::string> password, LoginDialogService& prompt)
      : password_(std::move(password)), prompt_(prompt) {}

  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override;

  // The password known in advance: the first line of passwordFile (without its line end) when
  // a file is named, else environmentValue when it is set, else nothing. Raises
  // tabulix::Exception naming the file when it cannot be read, and when the password is longer
  // than the connection passes on.
  static std::optional<std::string> KnownPassword(const std::string& passwordFile,
                                                  const char* environmentValue);

 private:
  std::optional<std::string> password_;
  LoginDialogService& prompt_;
};

}  // namespace tabulix::app
