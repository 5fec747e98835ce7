#include "app/gui/QtMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace tabulix::app {

void QtMessageBoxes::ShowError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                  QString::fromStdString(message), QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

}  // namespace tabulix::app
