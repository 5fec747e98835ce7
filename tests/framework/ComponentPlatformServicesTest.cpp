#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "framework/Abort.h"
#include "framework/PlatformServices.h"
#include "framework/SqlWaitCursor.h"
#include "framework/TerminalLoginPrompt.h"

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

class Pipe {
 public:
  Pipe() { EXPECT_EQ(::pipe(fds_), 0); }
  ~Pipe() {
    CloseWrite();
    ::close(fds_[0]);
  }
  int Read() const { return fds_[0]; }
  int Write() const { return fds_[1]; }
  void Put(const std::string& text) {
    ASSERT_EQ(::write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseWrite() {
    if (fds_[1] >= 0) ::close(fds_[1]);
    fds_[1] = -1;
  }
  std::string Drain() {
    CloseWrite();
    std::string out;
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(fds_[0], buffer, sizeof buffer)) > 0) out.append(buffer, n);
    return out;
  }

 private:
  int fds_[2] = {-1, -1};
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

TEST(TerminalLoginPrompt, ReturnsTypedNameAndPasswordAndShowsTheDatabase) {
  Pipe in;
  Pipe out;
  in.Put("alice\nsecret\n");
  TerminalLoginPrompt prompt(in.Read(), out.Write());
  std::string user = "root";
  std::string password = "stored";
  ASSERT_TRUE(prompt.Execute("mysql", user, password));
  EXPECT_EQ(user, "alice");
  EXPECT_EQ(password, "secret");
  std::string shown = out.Drain();
  EXPECT_NE(shown.find("Datenbank: mysql"), std::string::npos) << shown;
  EXPECT_NE(shown.find("[root]"), std::string::npos) << shown;
}

TEST(TerminalLoginPrompt, EmptyNameKeepsTheOfferedOneAndEmptyPasswordIsTaken) {
  Pipe in;
  Pipe out;
  in.Put("\r\n\r\n");
  TerminalLoginPrompt prompt(in.Read(), out.Write());
  std::string user = "root";
  std::string password = "stored";
  ASSERT_TRUE(prompt.Execute("db", user, password));
  EXPECT_EQ(user, "root");
  EXPECT_EQ(password, "");
}

TEST(TerminalLoginPrompt, EndOfInputCancelsAndLeavesBothTexts) {
  for (const std::string input : {"", "bob\n"}) {
    Pipe in;
    Pipe out;
    in.Put(input);
    in.CloseWrite();
    TerminalLoginPrompt prompt(in.Read(), out.Write());
    std::string user = "root";
    std::string password = "stored";
    EXPECT_FALSE(prompt.Execute("db", user, password)) << input;
    EXPECT_EQ(user, "root");
    EXPECT_EQ(password, "stored");
  }
}

TEST(TerminalLoginPrompt, KeepsAtMost31Characters) {
  Pipe in;
  Pipe out;
  in.Put(std::string(40, 'u') + "\n" + std::string(40, 'p') + "\n");
  TerminalLoginPrompt prompt(in.Read(), out.Write());
  std::string user;
  std::string password;
  ASSERT_TRUE(prompt.Execute("db", user, password));
  EXPECT_EQ(user, std::string(31, 'u'));
  EXPECT_EQ(password, std::string(31, 'p'));
}

}  // namespace
}  // namespace tabulix
