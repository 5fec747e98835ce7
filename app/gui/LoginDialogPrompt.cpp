#include "app/gui/LoginDialogPrompt.h"

#include <QApplication>

#include "app/gui/TLoginDialog.h"

namespace tabulix::app {

bool LoginDialogPrompt::Execute(std::string_view databaseName, std::string& userName,
                                std::string& password) {
  TLoginDialog dialog(databaseName, userName, QApplication::activeWindow());
  if (dialog.exec() != QDialog::Accepted) return false;
  userName = dialog.UserNameText();
  password = dialog.PasswordText();
  return true;
}

}  // namespace tabulix::app
