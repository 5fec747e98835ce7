#include "app/gui/LoginDialogPrompt.h"

#include <QApplication>

#include "app/gui/TLoginDialog.h"

namespace tabulix::app {

namespace {

// The connection shows the wait cursor while it connects, and asks for the login in the
// middle of that; the dialog wants typing, so the normal pointer stands over it while it is
// open, and the wait cursor comes back with the connect that goes on.
class PointerWhileOpen {
 public:
  PointerWhileOpen() : pushed_(QApplication::overrideCursor() != nullptr) {
    if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~PointerWhileOpen() {
    if (pushed_) QApplication::restoreOverrideCursor();
  }
  PointerWhileOpen(const PointerWhileOpen&) = delete;
  PointerWhileOpen& operator=(const PointerWhileOpen&) = delete;

 private:
  bool pushed_;
};

}  // namespace

bool LoginDialogPrompt::Execute(std::string_view databaseName, std::string& userName,
                                std::string& password) {
  PointerWhileOpen pointer;
  TLoginDialog dialog(databaseName, userName, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return false;
  userName = dialog.UserNameText();
  password = dialog.PasswordText();
  return true;
}

}  // namespace tabulix::app
