#pragma once

#include <optional>
#include <string>

namespace tabulix::app {

// The file-open dialog of the load button ("Paradox-Table|*.db|dBase-Table|*.dbf"), behind an
// interface so that tests, and the command line with its FILE argument, choose files.
class FileOpenDialog {
 public:
  virtual ~FileOpenDialog() = default;
  // The chosen file's full path; nothing when the user cancels. An empty initialFolder
  // starts in the dialog's default folder.
  virtual std::optional<std::string> Execute(const std::string& initialFolder) = 0;
};

}  // namespace tabulix::app
