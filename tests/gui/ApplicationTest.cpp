// The message loop: an exception that leaves an event handler or a button's handler is shown
// and the program goes on; the silent abort shows nothing.
#include "app/gui/TApplication.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTimer>

#include "framework/Abort.h"
#include "framework/Exceptions.h"
#include "tests/gui/TestApplication.h"

namespace tabulix::app {
namespace {

TEST(ApplicationTest, HandlersThatRaiseAreReportedAndTheLoopGoesOn) {
  test::ReportedErrors().clear();
  QPushButton button;
  int clicks = 0;
  QObject::connect(&button, &QPushButton::clicked, [&] {
    ++clicks;
    if (clicks == 1) throw EDatabaseError("Table 'kunden.orders' doesn't exist");
    if (clicks == 2) Abort();
    if (clicks == 3) throw std::logic_error("plain failure");
  });
  button.show();
  // Each click goes through the message loop as a user's would.
  for (int i = 0; i < 4; ++i) {
    QTimer::singleShot(0, &button, [&] { button.click(); });
    QTimer::singleShot(0, [] { QApplication::exit(0); });
    EXPECT_EQ(QApplication::exec(), 0);
  }
  EXPECT_EQ(clicks, 4);
  EXPECT_EQ(test::ReportedErrors(),
            (std::vector<std::string>{"Table 'kunden.orders' doesn't exist", "plain failure"}));
}

}  // namespace
}  // namespace tabulix::app
