// The import button of the real window against the test server, with the file dialog, the
// message boxes and the login prompt answered by the test: a complete run under a German
// locale (every value on the server as the C locale would send it, the exact log, the
// indicator and the progress painted in order while the run holds the event loop), and the
// ways a run ends early as the user sees them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QToolButton>
#include <algorithm>
#include <clocale>
#include <deque>
#include <string>
#include <vector>

#include "app/core/FileOpenDialog.h"
#include "app/core/MessageBoxes.h"
#include "app/core/TableDefinition.h"
#include "app/gui/TMainWin.h"
#include "app/gui/TShape.h"
#include "app/gui/TStatusLog.h"
#include "app/server/OrdersTable.h"
#include "app/server/ServerSession.h"
#include "framework/FormatSettings.h"
#include "framework/LoginDialogService.h"
#include "mysql/TZMySqlDatabase.h"
#include "support/TestData.h"
#include "support/TestServer.h"

namespace tabulix::app {
namespace {

using test::Cell;
using Lines = std::vector<std::string>;

constexpr const char* kDatabase = "tabulix_window_import";

// The dialogs the window shows, answered by the test.
class FakeDialogs final : public FileOpenDialog, public MessageBoxes, public LoginDialogService {
 public:
  std::optional<std::string> Execute(const std::string& /*initialFolder*/) override { return file; }
  void ShowError(const std::string& message) override { shown.push_back(message); }
  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override {
    prompts.push_back(std::string(databaseName) + " as " + userName);
    if (cancelLogin) return false;
    userName = test::Server().user;
    password = test::Server().password;
    return true;
  }

  std::string file;
  bool cancelLogin = false;
  Lines shown;
  Lines prompts;
};

// What the user sees during a run that does not return to the event loop: each paint of the
// indicator and of the progress bar, and whether an event posted before the run was handled
// by then (it must not be: input waits for the run's end).
class PaintRecorder final : public QObject {
 public:
  explicit PaintRecorder(TMainWin& win) : win_(win) {
    win.LEDconnect->installEventFilter(this);
    win.Progress->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      if (watched == win_.LEDconnect) {
        leds += win_.LEDconnect->BrushColor() == QColor(0, 128, 0)   ? 'G'
                : win_.LEDconnect->BrushColor() == QColor(255, 0, 0) ? 'R'
                                                                     : '?';
      } else {
        progress.push_back(win_.Progress->value());
      }
      if (posted && !delivered) paintsBeforeDelivery++;
    }
    return false;
  }
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    delivered = true;
    return true;
  }
  // Posts the event that stands for the user's input during the run.
  void Post() {
    posted = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::User));
  }

  std::string leds;
  std::vector<int> progress;
  bool posted = false;
  bool delivered = false;
  int paintsBeforeDelivery = 0;

 private:
  TMainWin& win_;
};

// The ledger as it must arrive, whichever way it went.
const std::vector<std::vector<Cell>> kLedgerRows = {
    {"1", "M\xC3\xBCller's", "1234.5", "19.9900", "2018-01-01", "-1", "1,5 kg; 2.5 l"},
    {"2", std::nullopt, "-0.25", "0.1000", std::nullopt, "0", ""}};
const std::string kLedgerSelect = "SELECT ID, Name, Amount, Price, Day, Paid, Notes FROM ";

// The process as a window under de_DE.UTF-8 runs it: the C library's locale (which the
// application object sets from the environment), the number format read from it, and Qt's
// own locale for what the window displays.
class GermanLocale {
 public:
  GermanLocale()
      : saved_(std::setlocale(LC_ALL, nullptr)),
        active_(std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
    FormatSettings::ResetFromLocale();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  }
  ~GermanLocale() {
    std::setlocale(LC_ALL, saved_.c_str());
    FormatSettings::ResetFromLocale();
    QLocale::setDefault(QLocale::system());
  }
  GermanLocale(const GermanLocale&) = delete;
  GermanLocale& operator=(const GermanLocale&) = delete;
  bool Active() const { return active_ && FormatSettings::DecimalSeparator() == ','; }

 private:
  std::string saved_;
  bool active_;
};

class WindowImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
    settingsFile = test::TempDir() + "/window-import.ini";
    win = std::make_unique<TMainWin>(TMainWin::Services{.openDialog = &dialogs,
                                                        .messages = &dialogs,
                                                        .settingsFile = settingsFile,
                                                        .executableFile = TABULIX_WINDOW,
                                                        .login = &dialogs});
    win->Engine().ZMySqlDatabase1().SetPort(std::to_string(test::Server().port));
    win->EditMySQLhost->setText(QString::fromStdString(test::Server().host));
    win->show();
    QApplication::processEvents();
  }
  void TearDown() override {
    win.reset();
    session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
  }

  // Loads the file through the load button and types the target into the edits.
  void LoadAndType(const std::string& file, const std::string& database, const std::string& table) {
    dialogs.file = file;
    win->ToolButtonLoadSourceDB->click();
    ASSERT_EQ(dialogs.shown, Lines{});
    win->EditMySQLdb->setText(QString::fromStdString(database));
    win->EditMySQLtable->setText(QString::fromStdString(table));
  }
  Lines Log() const {
    Lines lines;
    for (std::size_t i = 0; i < win->MemoStatus->LineCount(); ++i)
      lines.emplace_back(win->MemoStatus->Line(i));
    return lines;
  }

  FakeDialogs dialogs;
  std::string settingsFile;
  std::unique_ptr<TMainWin> win;
  test::ServerSession session;
};

// A Paradox table of every kind of value whose text could follow the locale: numbers with
// fractions, money, a date, a logical, besides an umlaut, a quote and a memo.
std::string WriteLedger() {
  using namespace test::paradox;
  ParadoxTestTable t({{0x16, 4, "ID"},
                      {0x01, 20, "Name"},
                      {0x06, 8, "Amount"},
                      {0x05, 8, "Price"},
                      {0x02, 4, "Day"},
                      {0x09, 1, "Paid"},
                      {0x0C, 40, "Notes"}});
  auto memo = [](const std::string& text) {
    return BlobField(40, text, 0, 0, static_cast<std::uint32_t>(text.size()));
  };
  t.AddRecord(StoredInt(1, 4) + Alpha("M\xFCller's", 20) + StoredDouble(1234.5) +
              StoredDouble(19.99) + StoredInt(736695, 4) + "\x81" + memo("1,5 kg; 2.5 l"));
  t.AddRecord(StoredInt(2, 4) + Alpha("", 20) + StoredDouble(-0.25) + StoredDouble(0.1) +
              std::string(4, '\0') + "\x80" + memo(""));
  const std::string path = test::TempDir() + "/LEDGER.DB";
  WriteFile(path, t.Bytes());
  return path;
}

TEST_F(WindowImportTest, ImportUnderTheGermanLocaleSendsEveryValueAsTheCLocaleWould) {
  GermanLocale german;
  ASSERT_TRUE(german.Active())
      << "locale de_DE.UTF-8 missing: the test build makes it and CTest sets LOCPATH";
  LoadAndType(WriteLedger(), kDatabase, "ledger");
  PaintRecorder seen(*win);
  seen.Post();
  win->ToolButtonImport2MySQL->click();

  EXPECT_EQ(dialogs.shown, Lines{});
  EXPECT_EQ(dialogs.prompts, Lines{"mysql as root"});
  const std::string definition =
      "create table if not exists ledger(ID int not null auto_increment,Name char(20),Amount "
      "double,Price decimal(19,4),Day date,Paid bool,Notes mediumtext, PRIMARY KEY (ID))";
  Lines expected = {definition};
  auto report = [&](const std::string& sql) {
    expected.push_back("SQL>" + sql);
    expected.push_back("SQL>[OK.]");
  };
  report("CONNECT mysql");
  report(std::string("create database if not exists ") + kDatabase);
  report("DISCONNECT mysql");
  report(std::string("CONNECT ") + kDatabase);
  report("drop table if exists ledger");
  report(definition);
  report("SHOW COLUMNS FROM ledger");
  report("SHOW INDEX FROM ledger");
  report("SELECT * FROM ledger");
  report(
      "INSERT INTO ledger (ID, Name, Amount, Price, Day, Paid, Notes) VALUES (1, "
      "'M\xC3\xBCller\\'s', 1234.5, 19.99, '2018-01-01', -1, '1,5 kg; 2.5 l')");
  report(
      "INSERT INTO ledger (ID, Name, Amount, Price, Day, Paid, Notes) VALUES (2, NULL, -0.25, "
      "0.1, NULL, 0, '')");
  report(std::string("DISCONNECT ") + kDatabase);
  EXPECT_EQ(Log(), expected);

  EXPECT_EQ(session.Query(kLedgerSelect + kDatabase + ".ledger ORDER BY ID").rows, kLedgerRows);

  // Green at each connect, red at each disconnect, painted as they happened; the progress
  // painted at least with all records done, and hidden after the run. Nothing posted before
  // the run was handled during it.
  EXPECT_EQ(seen.leds, "GRGR");
  ASSERT_FALSE(seen.progress.empty());
  EXPECT_EQ(seen.progress.back(), 1000);
  EXPECT_FALSE(seen.delivered);
  EXPECT_GE(seen.paintsBeforeDelivery, 5);
  EXPECT_FALSE(win->Progress->isVisible());
  QApplication::processEvents();
  EXPECT_TRUE(seen.delivered);
  EXPECT_EQ(win->LEDconnect->BrushColor(), QColor(255, 0, 0));
}

TEST_F(WindowImportTest, BulkLoadCheckedSendsTheRowsInOneUnitWithTheSameValues) {
  EXPECT_FALSE(win->CheckBulk->isChecked());
  // Beside the indicator, whole: its text not cut, nothing over the other.
  EXPECT_FALSE(win->CheckBulk->geometry().intersects(win->LEDconnect->geometry()));
  EXPECT_GE(win->CheckBulk->width(), win->CheckBulk->sizeHint().width());
  LoadAndType(WriteLedger(), kDatabase, "ledger");
  win->CheckBulk->click();
  win->ToolButtonImport2MySQL->click();

  EXPECT_EQ(dialogs.shown, Lines{});
  const Lines log = Log();
  const auto unit = std::find(log.begin(), log.end(), "SQL>LOAD DATA INTO ledger rows 1 to 2");
  ASSERT_NE(unit, log.end());
  EXPECT_EQ(*(unit + 1), "SQL>[OK.]");
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& line) { return line.starts_with("SQL>INSERT"); }),
            0);
  EXPECT_EQ(session.Query(kLedgerSelect + kDatabase + ".ledger ORDER BY ID").rows, kLedgerRows);
  EXPECT_EQ(win->LEDconnect->BrushColor(), QColor(255, 0, 0));
}

// A run that ends early: the message box (or none), the log, the indicator as painted.
struct EarlyEnd {
  std::string name;
  std::vector<test::OrdersRow> rows;
  std::string database;
  bool cancelLogin;
  std::string message;  // part of the one message box shown; empty: none
  Lines log;            // the log ends with these lines; empty: the log is empty
  std::string leds;
};

void PrintTo(const EarlyEnd& c, std::ostream* out) {
  *out << c.name;
}

class WindowImportEndTest : public WindowImportTest,
                            public ::testing::WithParamInterface<EarlyEnd> {};

std::vector<EarlyEnd> EarlyEnds() {
  const std::vector<test::OrdersRow> two = {{1, "A", "a"}, {2, "B", "b"}};
  const std::string definition = test::kOrdersDefinition;
  const std::string longName(70, 'd');
  // clang-format off
  return {
      {"forbidden name", two, "mysql", false, kForbiddenDatabaseMessage, {}, ""},
      {"forbidden name with blanks", two, " MySql\t", false, kForbiddenDatabaseMessage, {}, ""},
      {"empty name", two, "   ", false, kForbiddenDatabaseMessage, {}, ""},
      {"cancelled login", two, kDatabase, true, "", {definition}, ""},
      {"failed reconnect", two, longName, false, "Incorrect database name",
       {"SQL>CONNECT " + longName, "SQL>[Server connection error]"}, "GR"},
      {"record the server refuses", {{1, "A", "a"}, {1, "B", "b"}}, kDatabase, false,
       "Duplicate entry '1' for key 'PRIMARY'",
       {"SQL>INSERT INTO orders (ID, Name, Notes) VALUES (1, 'B', 'b')",
        "SQL>[Duplicate entry '1' for key 'PRIMARY']"}, "GRG"},
  };
  // clang-format on
}

TEST_P(WindowImportEndTest, ShowsTheUserHowTheRunEnded) {
  const EarlyEnd& c = GetParam();
  LoadAndType(test::WriteOrdersTable(test::TempDir() + "/orders.db", c.rows), c.database, "orders");
  dialogs.cancelLogin = c.cancelLogin;
  PaintRecorder seen(*win);
  win->ToolButtonImport2MySQL->click();

  if (c.message.empty()) {
    EXPECT_EQ(dialogs.shown, Lines{});
  } else {
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].find(c.message), std::string::npos) << dialogs.shown[0];
  }
  const Lines log = Log();
  ASSERT_GE(log.size(), c.log.size());
  EXPECT_EQ(Lines(log.end() - static_cast<long>(c.log.size()), log.end()), c.log);
  if (c.log.empty()) {
    EXPECT_EQ(log, Lines{});
  }
  EXPECT_EQ(dialogs.prompts.size(), c.log.empty() ? 0u : 1u);
  EXPECT_EQ(seen.leds, c.leds);
  const QColor last =
      c.leds.empty() || c.leds.back() == 'R' ? QColor(255, 0, 0) : QColor(0, 128, 0);
  EXPECT_EQ(win->LEDconnect->BrushColor(), last);
  EXPECT_EQ(win->Engine().ZMySqlDatabase1().Connected(), last == QColor(0, 128, 0));
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowImportEndTest, ::testing::ValuesIn(EarlyEnds()));

}  // namespace
}  // namespace tabulix::app
