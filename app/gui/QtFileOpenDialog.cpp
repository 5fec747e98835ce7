#include "app/gui/QtFileOpenDialog.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace tabulix::app {

std::optional<std::string> QtFileOpenDialog::Execute(const std::string& initialFolder) {
  QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Choose Source-Database"),
                     QFile::decodeName(initialFolder.c_str()));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Table files from old systems are as often named in capitals as not.
  dialog.setNameFilters({QStringLiteral("Paradox-Table (*.db *.DB *.Db)"),
                         QStringLiteral("dBase-Table (*.dbf *.DBF *.Dbf)")});
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

}  // namespace tabulix::app
