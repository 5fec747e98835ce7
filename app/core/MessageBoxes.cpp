#include "app/core/MessageBoxes.h"

#include "framework/Exceptions.h"

namespace tabulix::app {

void ReportException(std::exception_ptr error, MessageBoxes& boxes) {
  try {
    std::rethrow_exception(error);
  } catch (const EAbort&) {
    // The user cancelled; nothing to say.
  } catch (const std::exception& e) {
    boxes.ShowError(e.what());
  } catch (...) {
    boxes.ShowError("Unknown error");
  }
}

}  // namespace tabulix::app
