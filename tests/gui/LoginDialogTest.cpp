// The login dialog and the window's platform services: captions and size, the focus rule, the
// masked password, long texts kept whole, OK and cancel through the framework's prompt (with
// the pointer over it during a connect's wait cursor), and the wait cursor put back after a
// failure.
#include "app/gui/TLoginDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/gui/LoginDialogPrompt.h"
#include "app/gui/QtScreenCursor.h"
#include "framework/PlatformServices.h"
#include "framework/SqlWaitCursor.h"

namespace tabulix::app {
namespace {

std::vector<std::string> LabelTexts(const QWidget& dialog) {
  std::vector<std::string> texts;
  for (const QLabel* label : dialog.findChildren<QLabel*>())
    texts.push_back(label->text().toStdString());
  return texts;
}

TEST(LoginDialogTest, CaptionsSizeFocusAndMask) {
  struct Case {
    std::string database, user;
    const char* focused;
  };
  for (const Case& c : {Case{"kunden", "root", "Password"}, Case{"kunden", "", "UserName"}}) {
    SCOPED_TRACE(c.focused);
    TLoginDialog dialog(c.database, c.user);
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "Datenbank-Login");
    EXPECT_EQ(dialog.size(), QSize(273, 147));
    const std::vector<std::string> labels = LabelTexts(dialog);
    for (const char* caption : {"Datenbank:", "kunden", "&Benutzername:", "&Paßwort:"}) {
      EXPECT_NE(std::find(labels.begin(), labels.end(), caption), labels.end()) << caption;
    }
    EXPECT_EQ(dialog.OKButton().text(), "&OK");
    EXPECT_TRUE(dialog.OKButton().isDefault());
    EXPECT_EQ(dialog.CancelButton().text(), "Abbrechen");
    EXPECT_EQ(dialog.UserName().text().toStdString(), c.user);
    EXPECT_EQ(dialog.Password().text(), "");
    ASSERT_NE(dialog.focusWidget(), nullptr);
    EXPECT_EQ(dialog.focusWidget()->objectName(), c.focused);
    dialog.Password().setText("geheim");
    EXPECT_EQ(dialog.Password().displayText(), "******");
  }
}

TEST(LoginDialogTest, LongNamesAndPasswordsAreKeptWhole) {
  const std::string longName(300, 'd');
  TLoginDialog dialog(longName, "root");
  // The name label ends inside its panel.
  const QWidget* panel = dialog.DatabaseName().parentWidget();
  EXPECT_LE(dialog.DatabaseName().geometry().right(), panel->contentsRect().width() - 5);
  // A password of 255 characters, umlauts included, comes back as typed: nothing is cut.
  const QString password = QString(254, QChar(u'x')) + QChar(u'ß');
  dialog.Password().setText(password);
  EXPECT_EQ(dialog.PasswordText(), std::string(254, 'x') + "\xC3\x9F");
  dialog.UserName().setText(QString(255, QChar(u'u')));
  EXPECT_EQ(dialog.UserNameText().size(), 255u);
}

// Answers the next login dialog from inside its modal loop, noting the cursor over it.
void AnswerDialog(const QString& user, const QString& password, bool ok,
                  Qt::CursorShape* cursor = nullptr) {
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    if (cursor != nullptr) {
      *cursor = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape()
                                               : Qt::BitmapCursor;
    }
    auto* prompt = static_cast<TLoginDialog*>(dialog);
    prompt->UserName().setText(user);
    prompt->Password().setText(password);
    (ok ? prompt->OKButton() : prompt->CancelButton()).click();
  });
}

TEST(LoginDialogTest, PromptReturnsTheTextsOnOKAndLeavesThemOnCancel) {
  LoginDialogPrompt prompt;
  QtScreenCursor cursor;
  PlatformServices::Scope scope(&cursor, &prompt);
  std::string user = "root", password = "stored";
  AnswerDialog("admin", "neues Passwort", true);
  EXPECT_TRUE(PlatformServices::LoginDialog().Execute("kunden", user, password));
  EXPECT_EQ(user, "admin");
  EXPECT_EQ(password, "neues Passwort");
  AnswerDialog("other", "x", false);
  EXPECT_FALSE(PlatformServices::LoginDialog().Execute("kunden", user, password));
  EXPECT_EQ(user, "admin");
  EXPECT_EQ(password, "neues Passwort");
  // Asked in the middle of a connect: the pointer over the dialog, the wait cursor after it.
  Qt::CursorShape overDialog = Qt::BlankCursor;
  SqlWaitCursor wait;
  AnswerDialog("admin", "", true, &overDialog);
  EXPECT_TRUE(PlatformServices::LoginDialog().Execute("kunden", user, password));
  EXPECT_EQ(password, "");
  EXPECT_EQ(overDialog, Qt::ArrowCursor);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

TEST(LoginDialogTest, WaitCursorShowsAndGoesAlsoOnFailure) {
  QtScreenCursor cursor;
  PlatformServices::Scope scope(&cursor, nullptr);
  ASSERT_EQ(QApplication::overrideCursor(), nullptr);
  try {
    SqlWaitCursor wait;
    EXPECT_EQ(PlatformServices::Cursor().Cursor(), crSQLWait);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    {
      SqlWaitCursor nested;
      EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    throw std::runtime_error("server gone");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(PlatformServices::Cursor().Cursor(), crDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tabulix::app
