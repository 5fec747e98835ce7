#include "app/gui/TApplication.h"

#include "app/core/MessageBoxes.h"

namespace tabulix::app {

TApplication::TApplication(int& argc, char** argv, MessageBoxes& boxes)
    : QApplication(argc, argv), boxes_(boxes) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportException(std::current_exception(), boxes_);
    return true;
  }
}

}  // namespace tabulix::app
