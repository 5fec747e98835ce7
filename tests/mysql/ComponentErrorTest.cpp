// What the components' database errors carry: the server's message unchanged (also for names
// in Cyrillic letters, whatever Encoding says), the server's error number, and the statement
// that failed, for each way a statement or a login can fail.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DatabaseComponentFixture.h"
#include "framework/Exceptions.h"

namespace tabulix::test {
namespace {

constexpr const char* kDatabase = "tabulix_comp_errors";

class ComponentError : public ComponentTest {
 protected:
  static void SetUpTestSuite() {
    CreateSuiteDatabase(kDatabase);
    if (!HaveServer()) return;
    ServerSession session(kDatabase);
    session.Exec("DROP TABLE IF EXISTS t");
    session.Exec("CREATE TABLE t (id INT PRIMARY KEY)");
    session.Exec("INSERT INTO t VALUES (1)");
    session.Exec(
        "CREATE PROCEDURE IF NOT EXISTS signals() BEGIN SELECT 1 AS a; "
        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Stopped after the first result'; END");
  }

  void SetUp() override {
    ComponentTest::SetUp();
    SetUpDatabase(database, kDatabase);
    transaction.SetDatabase(&database);
    batch.SetTransaction(&transaction);
  }

 public:
  // Open to the case actions below.
  TZMySqlDatabase database;
  TZMySqlTransact transaction;
  TZBatchSql batch;
};

struct ErrorCase {
  const char* name;
  std::function<void(ComponentError&)> action;
  const char* messagePart;
  std::string statement;
  unsigned errorCode;
  // Whether the monitor's last report is the failed statement with the same message.
  bool reportedAsIs;
};

// The connection of a transaction-safe component dies between two statements; the commit's
// COMMIT and the BEGIN after it then fail, and BEGIN's failure is the one raised.
void CommitOnADeadConnection(ComponentError& f) {
  f.transaction.SetTransactSafe(true);
  f.transaction.SetConnected(true);
  const std::string id = f.transaction.ExecFunc("CONNECTION_ID()");
  ServerSession(kDatabase).Exec("KILL " + id);
  f.transaction.Commit();
}

// Runs one statement on a connected transaction component.
std::function<void(ComponentError&)> Exec(const std::string& sql) {
  return [sql](ComponentError& f) {
    f.transaction.SetConnected(true);
    f.transaction.ExecSql(sql);
  };
}

TEST_F(ComponentError, ErrorsCarryMessageStatementAndNumber) {
  std::vector<ErrorCase> cases = {
      {"syntax", Exec("SELEC 1"), "You have an error in your SQL syntax", "SELEC 1", 1064, true},
      {"duplicate key", Exec("INSERT INTO t VALUES (1)"), "Duplicate entry '1' for key 'PRIMARY'",
       "INSERT INTO t VALUES (1)", 1062, true},
      {"later result", Exec("CALL signals()"), "Stopped after the first result", "CALL signals()",
       1644, true},
      {"function",
       [](ComponentError& f) {
         f.transaction.SetConnected(true);
         f.transaction.ExecFunc("no_such_fn()");
       },
       "no_such_fn does not exist", "SELECT no_such_fn()", 1305, true},
      {"batch",
       [](ComponentError& f) {
         f.batch.SetSql(StringList{"SELECT 1;", "SELEC 2;", "SELECT 3"});
         f.batch.ExecSql();
       },
       "You have an error in your SQL syntax", "SELEC 2", 1064, true},
      {"login refused",
       [](ComponentError& f) {
         f.database.SetPassword("not the password");
         f.transaction.SetConnected(true);
       },
       "Access denied for user", "", 1045, false},
      {"existing database", [](ComponentError& f) { f.database.CreateDatabase(""); },
       "Database creating error", "CREATE DATABASE `tabulix_comp_errors`", 1007, false},
      {"commit on a dead connection", CommitOnADeadConnection, "", "BEGIN", 2006, true},
  };
  // The server's message names the table as it was sent, in UTF-8, whatever Encoding holds.
  const std::string cyrillic = "SELECT * FROM Таблица_нет";
  for (const TEncodingType encoding : {etNone, etCp1251, etKoi8r, et866, etKoi8u, etIso88592}) {
    cases.push_back({"cyrillic name",
                     [=](ComponentError& f) {
                       f.database.SetEncoding(encoding);
                       Exec(cyrillic)(f);
                     },
                     "Table 'tabulix_comp_errors.Таблица_нет' doesn't exist", cyrillic, 1146,
                     true});
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const ErrorCase& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << c.name);
    CollectingMonitor monitor(transaction);
    try {
      c.action(*this);
      ADD_FAILURE() << "no error raised";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(e.Message().find(c.messagePart), std::string::npos) << e.Message();
      EXPECT_FALSE(e.Message().empty());
      EXPECT_EQ(e.Statement(), c.statement);
      EXPECT_EQ(e.ErrorCode(), c.errorCode) << e.Message();
      if (c.reportedAsIs) {
        ASSERT_FALSE(monitor.reports.empty());
        EXPECT_EQ(monitor.reports.back(), (Report{c.statement, e.Message()}));
      }
    }
    // Each case starts from a disconnected component with the right settings.
    database.SetConnected(false);
    SetUpDatabase(database, kDatabase);
    database.SetEncoding(etNone);
    transaction.SetTransactSafe(false);
  }
}

}  // namespace
}  // namespace tabulix::test
