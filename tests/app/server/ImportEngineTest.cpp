// The import engine against the test server, with fake front-end services: the exact log of a
// complete run, the indicator's events, what reaches the server, and the ways a run fails.
#include "app/core/ImportEngine.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "OrdersTable.h"
#include "ServerSession.h"
#include "app/core/ConnectionIndicator.h"
#include "app/core/FileOpenDialog.h"
#include "app/core/ImportProgress.h"
#include "app/core/LogSink.h"
#include "app/core/MessageBoxes.h"
#include "app/core/TableDefinition.h"
#include "framework/Exceptions.h"
#include "framework/LoginDialogService.h"
#include "mysql/TZMySqlDatabase.h"
#include "source/TableBDE.h"
#include "source/TableBDEFakeReader.h"
#include "support/TestData.h"
#include "support/TestServer.h"

namespace tabulix::app {
namespace {

using test::Cell;
using test::OrdersRow;
using test::ServerSession;
using Lines = std::vector<std::string>;

constexpr const char* kDatabase = "tabulix_import_engine";

// Every service a front end gives the engine, recording what the engine did with it. The
// login answers with the test server's account unless told to cancel.
class FakeFrontEnd final : public LogSink,
                           public MessageBoxes,
                           public LoginDialogService,
                           public ConnectionIndicator,
                           public ImportProgress,
                           public FileOpenDialog {
 public:
  void Clear() override { lines.clear(); }
  void Add(std::string_view line) override { lines.emplace_back(line); }
  void ShowError(const std::string& message) override { messages.push_back(message); }
  bool Execute(std::string_view databaseName, std::string& userName,
               std::string& password) override {
    prompts.push_back(std::string(databaseName) + " as " + userName);
    if (cancelLogin) return false;
    userName = test::Server().user;
    password = test::Server().password;
    return true;
  }
  void ShowConnected(bool connected) override { indicator.push_back(connected); }
  void Update(std::int64_t done, std::int64_t total, double rowsPerSecond) override {
    // At most about ten reports a second; the last one, all records done, may come sooner.
    const auto now = std::chrono::steady_clock::now();
    if (!updates.empty() && done != total) {
      EXPECT_GE(now - lastUpdate, std::chrono::milliseconds(95)) << "report " << done;
    }
    lastUpdate = now;
    updates.push_back(done);
    EXPECT_LE(done, total);
    EXPECT_GT(rowsPerSecond, 0.0);
  }
  void Finish() override { ++finished; }
  std::optional<std::string> Execute(const std::string& /*initialFolder*/) override { return file; }

  std::string file;
  bool cancelLogin = false;
  Lines lines;
  Lines messages;
  Lines prompts;
  std::vector<bool> indicator;
  std::vector<std::int64_t> updates;
  std::chrono::steady_clock::time_point lastUpdate;
  int finished = 0;
};

class ImportEngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase);
    engine.ZMySqlDatabase1().SetPort(std::to_string(test::Server().port));
  }
  void TearDown() override { session.Exec(std::string("DROP DATABASE IF EXISTS ") + kDatabase); }

  // Loads an orders table of these rows, as the load button with the dialog answering.
  void LoadOrders(const std::vector<OrdersRow>& rows) {
    ui.file = test::WriteOrdersTable(test::TempDir() + "/orders.db", rows);
    ASSERT_TRUE(engine.Load(ui, "", nullptr).has_value());
  }
  ImportTarget Target(std::string database = kDatabase, std::string table = "orders") {
    return {std::move(database), std::move(table), test::Server().host};
  }
  std::vector<std::vector<Cell>> Rows(const std::string& table) {
    return session.Query("SELECT * FROM " + std::string(kDatabase) + "." + table).rows;
  }

  FakeFrontEnd ui;
  ImportEngine engine{{.log = &ui,
                       .messages = &ui,
                       .login = &ui,
                       .cursor = nullptr,
                       .indicator = &ui,
                       .progress = &ui}};
  ServerSession session;
};

TEST_F(ImportEngineTest, OrdersExampleGivesTheExactLogTheIndicatorsEventsAndTheRowsTwice) {
  EXPECT_EQ(engine.ZMySqlDatabase1().Password(), "") << "no password is kept in the program";
  EXPECT_EQ(engine.ZMySqlDatabase1().Login(), "root");
  LoadOrders(test::ExampleOrders());
  EXPECT_TRUE(ui.lines.empty());

  const Lines run = test::ExampleOrdersLog(kDatabase);
  const std::vector<std::vector<Cell>> rows = {
      {"1", "O'Neil", "first line\r\nsecond line"},
      {"2", std::nullopt, "no name"},
      {"3", "C:\\Daten\\M\xC3\xBCller", "back\\slash"},
      {"4", "Empty memo", ""},
  };

  // The second run replaces the table: no record is doubled, and the log grows by the same.
  for (int pass = 1; pass <= 2; ++pass) {
    SCOPED_TRACE("pass " + std::to_string(pass));
    EXPECT_EQ(engine.Import(Target()), ImportOutcome::Completed);
    Lines expected;
    for (int i = 0; i < pass; ++i) expected.insert(expected.end(), run.begin(), run.end());
    EXPECT_EQ(ui.lines, expected);
    EXPECT_EQ(Rows("orders"), rows);
    EXPECT_EQ(ui.indicator.size(), 4u * static_cast<std::size_t>(pass));
    EXPECT_EQ(ui.prompts.size(), static_cast<std::size_t>(pass));
  }
  EXPECT_EQ(ui.indicator, (std::vector<bool>{true, false, true, false, true, false, true, false}));
  EXPECT_EQ(ui.prompts[0], "mysql as root");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(engine.ZMySqlDatabase1().Connected());
  EXPECT_EQ(engine.RecordsCopied(), 4);
  EXPECT_EQ(engine.FailedRecord(), 0);
  // The last report says all records are done; the display is told the loop ended each time.
  ASSERT_FALSE(ui.updates.empty());
  EXPECT_EQ(ui.updates.back(), 4);
  EXPECT_EQ(ui.finished, 2);
}

// A run that does not complete, or completes in an unusual way: what the user sees, what is
// left on the server, and whether the connection stays open for the next import to close.
struct FailureCase {
  std::string name;
  std::vector<OrdersRow> rows;
  std::function<void(FakeFrontEnd&, ImportTarget&)> prepare;
  std::string ending;     // "done", "refused", "abort", or part of the error's message
  Lines firstLines;       // the log begins with these
  Lines lastLines;        // and ends with these
  std::string indicator;  // G for every report of a connect, R for a disconnect
  std::int64_t failedRecord;
  int rowsOnServer;  // -1: the database does not exist
  bool connected;
};

void PrintTo(const FailureCase& c, std::ostream* out) {
  *out << c.name;
}

class ImportEngineFailureTest : public ImportEngineTest,
                                public ::testing::WithParamInterface<FailureCase> {};

std::vector<FailureCase> FailureCases() {
  const std::vector<OrdersRow> two = {{1, "A", "a"}, {2, "B", "b"}};
  const std::string db = kDatabase;
  const std::string longName(70, 'd');
  const Lines connected = {test::kOrdersDefinition, "SQL>CONNECT mysql", "SQL>[OK.]"};
  const Lines closed = {"SQL>DISCONNECT " + db, "SQL>[OK.]"};
  auto database = [](std::string name) {
    return [name](FakeFrontEnd&, ImportTarget& t) { t.database = name; };
  };
  auto cancel = [](FakeFrontEnd& ui, ImportTarget&) { ui.cancelLogin = true; };
  // clang-format off
  return {
      // The names themselves are the table definition's unit test; here: nothing happens.
      {"forbidden name", two, database(" MySql\t"), "refused", {}, {}, "", 0, -1, false},
      {"cancelled login", two, cancel, "abort", {test::kOrdersDefinition},
       {test::kOrdersDefinition}, "", 0, -1, false},
      // A name longer than the server allows: the create fails (passed over), the reconnect
      // fails, and the run ends disconnected.
      {"failed reconnect", two, database(longName), "Incorrect database name", connected,
       {"SQL>DISCONNECT mysql", "SQL>[OK.]", "SQL>CONNECT " + longName,
        "SQL>[Server connection error]"}, "GR", 0, -1, false},
      // The server refuses the second record: its key repeats the first one's.
      {"record the server refuses", {{1, "A", "a"}, {1, "B", "b"}, {3, "C", "c"}}, nullptr,
       "Duplicate entry '1'", connected,
       {"SQL>INSERT INTO orders (ID, Name, Notes) VALUES (1, 'B', 'b')",
        "SQL>[Duplicate entry '1' for key 'PRIMARY']"}, "GRG", 2, 1, true},
      {"empty source table", {}, nullptr, "done", connected,
       {"SQL>SELECT * FROM orders", "SQL>[OK.]", closed[0], closed[1]}, "GRGR", 0, 0, false},
      // Typed with blanks around it: created, reconnected and filled under the trimmed name.
      {"database name with blanks", two, database(" " + db + " "), "done",
       {connected[0], connected[1], connected[2], "SQL>create database if not exists " + db,
        "SQL>[OK.]", "SQL>DISCONNECT mysql", "SQL>[OK.]", "SQL>CONNECT " + db},
       closed, "GRGR", 0, 2, false},
  };
  // clang-format on
}

TEST_P(ImportEngineFailureTest, EndsAsTheUserIsTold) {
  const FailureCase& c = GetParam();
  LoadOrders(c.rows);
  ImportTarget target = Target();
  if (c.prepare) c.prepare(ui, target);
  std::string ending;
  try {
    ending = engine.Import(target) == ImportOutcome::Refused ? "refused" : "done";
  } catch (const EAbort&) {
    ending = "abort";
  } catch (const Exception& e) {
    ending = e.what();
  }
  EXPECT_NE(ending.find(c.ending), std::string::npos) << ending;
  EXPECT_EQ(ui.messages, c.ending == "refused" ? Lines{kForbiddenDatabaseMessage} : Lines{});
  ASSERT_GE(ui.lines.size(), std::max(c.firstLines.size(), c.lastLines.size()));
  EXPECT_EQ(Lines(ui.lines.begin(), ui.lines.begin() + static_cast<long>(c.firstLines.size())),
            c.firstLines);
  EXPECT_EQ(Lines(ui.lines.end() - static_cast<long>(c.lastLines.size()), ui.lines.end()),
            c.lastLines);
  if (c.firstLines.empty()) {
    EXPECT_EQ(ui.lines, Lines{});
    EXPECT_EQ(ui.prompts, Lines{});
  }
  std::string indicator;
  for (bool green : ui.indicator) indicator += green ? 'G' : 'R';
  EXPECT_EQ(indicator, c.indicator);
  EXPECT_EQ(engine.FailedRecord(), c.failedRecord);
  EXPECT_EQ(engine.ZMySqlDatabase1().Connected(), c.connected);
  if (c.rowsOnServer < 0) {
    EXPECT_EQ(session.Scalar("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                             "SCHEMA_NAME = '" +
                             std::string(kDatabase) + "'"),
              Cell("0"));
  } else {
    EXPECT_EQ(Rows("orders").size(), static_cast<std::size_t>(c.rowsOnServer));
  }
  // The next import closes a connection left open and completes.
  if (c.connected) {
    LoadOrders({{1, "A", "a"}, {2, "B", "b"}});
    EXPECT_EQ(engine.Import(Target()), ImportOutcome::Completed);
    EXPECT_EQ(Rows("orders").size(), 2u);
    EXPECT_FALSE(engine.ZMySqlDatabase1().Connected());
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ImportEngineFailureTest, ::testing::ValuesIn(FailureCases()));

// Names with blanks, "#", a reserved word, repeats that differ in letter case only (also of an
// umlaut); and a character field of length 0, which the server takes as char(0).
TEST_F(ImportEngineTest, ColumnNamesWithBlanksHashReservedWordsAndRepeatsReachTheServer) {
  using namespace test::paradox;
  ParadoxTestTable t({{0x01, 10, "Species No"},
                      {0x01, 10, "Nr#"},
                      {0x04, 4, "Order"},
                      {0x04, 4, "order"},
                      {0x01, 10, "L\xE4nge"},
                      {0x01, 10, "L\xC4NGE"}});
  t.AddRecord(Alpha("sp 1", 10) + Alpha("#7", 10) + StoredInt(5, 4) + StoredInt(6, 4) +
              Alpha("kurz", 10) + Alpha("lang", 10));
  ui.file = test::TempDir() + "/names.db";
  WriteFile(ui.file, t.Bytes());
  ASSERT_TRUE(engine.Load(ui, "", nullptr).has_value());
  ASSERT_EQ(engine.Import(Target(kDatabase, "names")), ImportOutcome::Completed);
  EXPECT_EQ(engine.TableDefinition(),
            "create table if not exists names(`Species No` char(10),`Nr#` char(10),`Order` "
            "int,order_2 int,`L\xC3\xA4nge` char(10),`L\xC3\x84NGE_2` char(10))");
  const test::QueryResult r = session.Query(std::string("SELECT * FROM ") + kDatabase + ".names");
  EXPECT_EQ(r.columns,
            (Lines{"Species No", "Nr#", "Order", "order_2", "L\xC3\xA4nge", "L\xC3\x84NGE_2"}));
  EXPECT_EQ(r.rows, (std::vector<std::vector<Cell>>{{"sp 1", "#7", "5", "6", "kurz", "lang"}}));

  // A character field of length 0 (a reader of its own gives one; the formats' readers refuse
  // such a field).
  test::FakeTable fake;
  fake.fields = {{"Empty", ftString, 0}, {"N", ftInteger, 4}};
  fake.rows = {{FieldValue::Null(), FieldValue::Integer(1)}};
  engine.TableBDE().SetReaderFactory([&fake](const std::string&, const source::ReaderOptions&) {
    return std::make_unique<test::FakeReader>(fake);
  });
  ASSERT_TRUE(engine.Load(ui, "", nullptr).has_value());
  ASSERT_EQ(engine.Import(Target(kDatabase, "empty")), ImportOutcome::Completed);
  EXPECT_EQ(engine.TableDefinition(), "create table if not exists empty(Empty char(0),N int)");
  EXPECT_EQ(Rows("empty"), (std::vector<std::vector<Cell>>{{std::nullopt, "1"}}));
}

}  // namespace
}  // namespace tabulix::app
