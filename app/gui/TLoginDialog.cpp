#include "app/gui/TLoginDialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tabulix::app {

namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* Label(const QString& text, QWidget* parent, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  label->adjustSize();
  return label;
}

}  // namespace

int TLoginDialog::PasswordStyle::styleHint(StyleHint hint, const QStyleOption* option,
                                           const QWidget* widget,
                                           QStyleHintReturn* returnData) const {
  if (hint == SH_LineEdit_PasswordCharacter) return '*';
  if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
  return QProxyStyle::styleHint(hint, option, widget, returnData);
}

TLoginDialog::TLoginDialog(std::string_view databaseName, std::string_view userName,
                           QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("LoginDialog"));
  setWindowTitle(QStringLiteral("Datenbank-Login"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(273, 147);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(8, 7, 257, 98);
  Label(QStringLiteral("Datenbank:"), panel, 10, 8);
  databaseName_ = Label(FromUtf8(databaseName), panel, 90, 8);
  databaseName_->setObjectName(QStringLiteral("DatabaseName"));
  // A long name is narrowed to the panel rather than running past its edge.
  const int room = panel->contentsRect().width() - databaseName_->x() - 5;
  if (databaseName_->width() > room) {
    databaseName_->resize(room, databaseName_->height());
    databaseName_->setToolTip(databaseName_->text());
  }

  auto* fields = new QFrame(panel);
  fields->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  fields->setGeometry(10, 28, 237, 62);
  userName_ = new QLineEdit(FromUtf8(userName), fields);
  userName_->setObjectName(QStringLiteral("UserName"));
  userName_->setGeometry(96, 6, 131, 22);
  password_ = new QLineEdit(fields);
  password_->setObjectName(QStringLiteral("Password"));
  password_->setGeometry(96, 33, 131, 22);
  password_->setStyle(&passwordStyle_);
  password_->setEchoMode(QLineEdit::Password);
  for (QLineEdit* edit : {userName_, password_}) edit->setMaxLength(kMaxTextLength);
  Label(QStringLiteral("&Benutzername:"), fields, 8, 10)->setBuddy(userName_);
  Label(QStringLiteral("&Paßwort:"), fields, 8, 37)->setBuddy(password_);

  ok_ = new QPushButton(QStringLiteral("&OK"), this);
  ok_->setGeometry(109, 114, 75, 25);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Abbrechen"), this);
  cancel_->setGeometry(190, 114, 75, 25);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  (userName.empty() ? userName_ : password_)->setFocus();
}

std::string TLoginDialog::UserNameText() const {
  return userName_->text().toStdString();
}

std::string TLoginDialog::PasswordText() const {
  return password_->text().toStdString();
}

}  // namespace tabulix::app
