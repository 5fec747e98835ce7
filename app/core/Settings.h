#pragma once

#include <string>
#include <string_view>

#include "app/core/IniFile.h"

namespace tabulix::app {

// The program's settings: one file with one section "Files" and one key "LastDBdir", the folder
// of the last chosen source table with its trailing separator (empty when none was chosen).
// The names and defaults live here and nowhere else.
class Settings {
 public:
  explicit Settings(std::string path) : file_(std::move(path)) {}

  const std::string& FileName() const { return file_.FileName(); }

  std::string LastDBdir() const;
  // Raises tabulix::Exception naming the file when it cannot be written.
  void SetLastDBdir(std::string_view folder);

  // Where the program at executable keeps its settings: beside it, with ".ini" appended to
  // its name, while that folder takes new files; otherwise, so that an installed copy in a
  // folder of the system keeps its settings too, the same name in userConfigDir.
  static std::string PathFor(const std::string& executable, const std::string& userConfigDir);
  // PathFor the running program and the user's configuration folder.
  static std::string DefaultPath();
  // $XDG_CONFIG_HOME/tabulix, else ~/.config/tabulix.
  static std::string UserConfigDir();

 private:
  IniFile file_;
};

// The path of the running program's executable file.
std::string ExecutablePath();

}  // namespace tabulix::app
