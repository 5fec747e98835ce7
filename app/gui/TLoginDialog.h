#pragma once

#include <QDialog>
#include <QProxyStyle>
#include <string>
#include <string_view>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tabulix::app {

// The database login dialog: shows the database name, the user name to change and an empty
// password field that shows "*" for each character. The password field has the focus, or the
// user-name field when no user name is given. The edits take up to 255 characters, the
// longest name and password the connection keeps, so a typed password is never cut short.
class TLoginDialog : public QDialog {
 public:
  static constexpr int kMaxTextLength = 255;

  TLoginDialog(std::string_view databaseName, std::string_view userName, QWidget* parent = nullptr);

  std::string UserNameText() const;
  std::string PasswordText() const;

  QLabel& DatabaseName() { return *databaseName_; }
  QLineEdit& UserName() { return *userName_; }
  QLineEdit& Password() { return *password_; }
  QPushButton& OKButton() { return *ok_; }
  QPushButton& CancelButton() { return *cancel_; }

 private:
  // Asterisks for the password, without the platform's delay before hiding a character.
  class PasswordStyle : public QProxyStyle {
   public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
  };

  PasswordStyle passwordStyle_;
  QLabel* databaseName_;
  QLineEdit* userName_;
  QLineEdit* password_;
  QPushButton* ok_;
  QPushButton* cancel_;
};

}  // namespace tabulix::app
