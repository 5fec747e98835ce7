#include "app/cli/CliLogin.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/cli/TerminalLoginPrompt.h"
#include "framework/Exceptions.h"

namespace tabulix::app {

bool CliLogin::Execute(std::string_view databaseName, std::string& userName,
                       std::string& password) {
  if (!password_) return prompt_.Execute(databaseName, userName, password);
  password = *password_;
  return true;
}

std::optional<std::string> CliLogin::KnownPassword(const std::string& passwordFile,
                                                   const char* environmentValue) {
  std::optional<std::string> password;
  std::string origin;
  if (!passwordFile.empty()) {
    std::ifstream file(passwordFile, std::ios::binary);
    if (!file) {
      throw Exception("cannot read the password file " + passwordFile + ": " +
                      std::strerror(errno));
    }
    std::string line;
    std::getline(file, line);
    if (file.bad()) throw Exception("cannot read the password file " + passwordFile);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    password = std::move(line);
    origin = "in " + passwordFile;
  } else if (environmentValue != nullptr) {
    password = environmentValue;
    origin = "in TABULIX_PASSWORD";
  }
  if (password && password->size() > TerminalLoginPrompt::kMaxTextLength) {
    throw Exception("the password " + origin + " is longer than " +
                    std::to_string(TerminalLoginPrompt::kMaxTextLength) +
                    " bytes, more than the connection passes on");
  }
  return password;
}

}  // namespace tabulix::app
