#pragma once

#include <exception>
#include <string>

namespace tabulix::app {

// The message boxes of the window (the command line prints the message on standard error),
// behind an interface so that tests read what would be shown. The import engine shows the
// refusal of a forbidden database name here; its other failures are exceptions.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // An error message with a single OK button.
  virtual void ShowError(const std::string& message) = 0;
};

// What the message loop does with an exception that left a handler: its message in a message
// box, nothing at all for the silent abort (EAbort).
void ReportException(std::exception_ptr error, MessageBoxes& boxes);

}  // namespace tabulix::app
