#pragma once

#include "app/core/FileOpenDialog.h"

namespace tabulix::app {

// The file-open dialog titled "Choose Source-Database" with the filters "Paradox-Table"
// (*.db) and "dBase-Table" (*.dbf), over the active window.
class QtFileOpenDialog final : public FileOpenDialog {
 public:
  std::optional<std::string> Execute(const std::string& initialFolder) override;
};

}  // namespace tabulix::app
