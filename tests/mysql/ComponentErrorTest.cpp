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
    ServerSession(kDatabase).Exec(
        "CREATE PROCEDURE IF NOT EXISTS signals() BEGIN SELECT 1; "
        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Stopped after the first result'; END");
  }
  void SetUp() override {
    ComponentTest::SetUp();
    SetUpDatabase(database, kDatabase);
    transaction.SetDatabase(&database);
    batch.SetTransaction(&transaction);
  }

  std::function<void()> Exec(const std::string& sql) {
    return [this, sql] {
      transaction.SetConnected(true);
      transaction.ExecSql(sql);
    };
  }

  TZMySqlDatabase database;
  TZMySqlTransact transaction;
  TZBatchSql batch;
};

TEST_F(ComponentError, ErrorsCarryMessageStatementAndNumber) {
  struct Case {
    std::function<void()> action;
    std::string messagePart, statement;
    unsigned errorCode;
    bool reported;  // the monitor's last report is the statement with the same message
  };
  std::vector<Case> cases = {
      {Exec("SELEC 1"), "in your SQL syntax", "SELEC 1", 1064, true},
      {Exec("CALL signals()"), "Stopped after the first result", "CALL signals()", 1644, true},
      {[this] {
         transaction.SetConnected(true);
         transaction.ExecFunc("nix()");
       },
       "nix does not exist", "SELECT nix()", 1305, true},
      {[this] {
         batch.SetSql(StringList{"SELECT 1;", "SELEC 2;", "SELECT 3"});
         batch.ExecSql();
       },
       "in your SQL syntax", "SELEC 2", 1064, true},
      {[this] {
         database.SetPassword("wrong");
         transaction.SetConnected(true);
       },
       "Access denied for user", "", 1045, false},
      {[this] { database.CreateDatabase(""); }, "Database creating error",
       std::string("CREATE DATABASE `") + kDatabase + "`", 1007, false},
      // The connection dies between two statements; COMMIT and the BEGIN after it fail, and
      // BEGIN's failure is the one raised.
      {[this] {
         transaction.SetTransactSafe(true);
         transaction.SetConnected(true);
         ServerSession(kDatabase).Exec("KILL " + transaction.ExecFunc("CONNECTION_ID()"));
         transaction.Commit();
       },
       "", "BEGIN", 2006, true},
  };
  const std::string cyrillic = "SELECT * FROM Таблица_нет";
  for (const TEncodingType encoding : {etCp1251, etKoi8r, etIso88592}) {
    cases.push_back({[this, encoding, run = Exec(cyrillic)] {
                       database.SetEncoding(encoding);
                       run();
                     },
                     std::string("'") + kDatabase + ".Таблица_нет' doesn't exist", cyrillic, 1146,
                     true});
  }
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "case " << i << ": " << c.statement);
    CollectingMonitor monitor(transaction);
    try {
      c.action();
      ADD_FAILURE() << "no error raised";
    } catch (const EDatabaseError& e) {
      EXPECT_FALSE(e.Message().empty());
      EXPECT_NE(e.Message().find(c.messagePart), std::string::npos) << e.Message();
      EXPECT_EQ(e.Statement(), c.statement);
      EXPECT_EQ(e.ErrorCode(), c.errorCode) << e.Message();
      if (c.reported) {
        ASSERT_FALSE(monitor.reports.empty());
        EXPECT_EQ(monitor.reports.back(), (Report{c.statement, e.Message()}));
      }
    }
    // The next case starts disconnected, with the right settings.
    database.SetConnected(false);
    SetUpDatabase(database, kDatabase);
    transaction.SetTransactSafe(false);
  }
}

}  // namespace
}  // namespace tabulix::test
