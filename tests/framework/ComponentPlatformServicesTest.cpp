#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "framework/Abort.h"
#include "framework/PlatformServices.h"
#include "framework/SqlWaitCursor.h"

namespace tabulix {
namespace {

class RecordingCursor : public ScreenCursor {
 public:
  TCursor Cursor() const override { return current; }
  void SetCursor(TCursor cursor) override {
    current = cursor;
    history.push_back(cursor);
  }
  TCursor current = crDefault;
  std::vector<TCursor> history;
};

TEST(SqlWaitCursor, ShowsTheWaitCursorAndRestoresTheOneBefore) {
  RecordingCursor cursor;
  cursor.current = crHourGlass;
  PlatformServices::Scope scope(&cursor, nullptr);
  try {
    SqlWaitCursor wait;
    EXPECT_EQ(cursor.current, crSQLWait);
    Abort();
  } catch (const EAbort&) {
  }
  EXPECT_EQ(cursor.current, crHourGlass);
  { SqlWaitCursor noWait(false); }
  EXPECT_EQ(cursor.history, (std::vector<TCursor>{crSQLWait, crHourGlass, crHourGlass}));
}

TEST(PlatformServices, ScopePutsThePreviousServicesBack) {
  RecordingCursor outer;
  RecordingCursor inner;
  PlatformServices::Scope first(&outer, nullptr);
  {
    PlatformServices::Scope second(&inner, nullptr);
    EXPECT_EQ(&PlatformServices::Cursor(), &inner);
  }
  EXPECT_EQ(&PlatformServices::Cursor(), &outer);
}

TEST(PlatformServices, WithoutScreenTheCursorIsNothing) {
  ScreenCursor& cursor = PlatformServices::Cursor();
  cursor.SetCursor(crSQLWait);
  EXPECT_EQ(cursor.Cursor(), crDefault);
}

TEST(PlatformServices, WithoutAnInstalledPromptEveryLoginIsCancelled) {
  std::string user = "root";
  std::string password = "stored";
  EXPECT_FALSE(PlatformServices::LoginDialog().Execute("db", user, password));
  EXPECT_EQ(user, "root");
  EXPECT_EQ(password, "stored");
}

}  // namespace
}  // namespace tabulix
