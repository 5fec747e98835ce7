#pragma once

#include "app/core/MessageBoxes.h"

namespace tabulix::app {

// Message boxes over the active window, titled with the application's name.
class QtMessageBoxes final : public MessageBoxes {
 public:
  void ShowError(const std::string& message) override;
};

}  // namespace tabulix::app
