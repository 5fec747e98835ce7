// The transaction component against the private server: statements and their reports,
// automatic commit with and without transaction brackets, failures and recovery, the
// data-change rule, expression evaluation, and the write rules of Database and TransactSafe.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatabaseComponentFixture.h"
#include "framework/Exceptions.h"

namespace tabulix::test {
namespace {

constexpr const char* kDatabase = "tabulix_comp_transact";

class TransactComponent : public ComponentTest {
 protected:
  static void SetUpTestSuite() { CreateSuiteDatabase(kDatabase); }

  void SetUp() override {
    ComponentTest::SetUp();
    SetUpDatabase(database, kDatabase);
    transaction.SetDatabase(&database);
    transaction.SetOnCommit([this](TComponent&) { events.push_back("commit"); });
    transaction.SetOnRollback([this](TComponent&) { events.push_back("rollback"); });
  }

  // A fresh InnoDB table t (id auto-increment, name), made outside the monitor's view.
  void FreshTable() {
    ServerSession session(kDatabase);
    session.Exec("DROP TABLE IF EXISTS t");
    session.Exec(
        "CREATE TABLE t (id INT AUTO_INCREMENT PRIMARY KEY, name VARCHAR(20)) ENGINE=InnoDB");
  }

  std::string CountRows() {
    ServerSession session(kDatabase);
    return session.Value("COUNT(*) FROM t");
  }

  // Before the components: their handlers may still write here while they go.
  std::vector<std::string> events;
  TZMySqlDatabase database;
  TZMySqlTransact transaction;
};

TEST_F(TransactComponent, DefaultsOfTheMySqlForm) {
  TZMySqlTransact fresh;
  EXPECT_FALSE(fresh.Connected());
  EXPECT_TRUE(fresh.AutoCommit());
  EXPECT_EQ(fresh.Options(), TZTransactOptions{toHourGlass});
  EXPECT_FALSE(fresh.TransactSafe());
  EXPECT_EQ(fresh.SqlDialect(), skMySql);
  EXPECT_EQ(fresh.Version(), 50300);
  EXPECT_EQ(fresh.Database(), nullptr);
}

// --- statements before and without a connection ---

TEST_F(TransactComponent, EveryStatementOperationNeedsAConnectionAndLeavesTheCursorAlone) {
  std::vector<std::function<void()>> operations = {
      [&] { transaction.ExecSql("SELECT 1"); }, [&] { transaction.ExecSqlParams("SELECT 1", {}); },
      [&] { transaction.ExecFunc("1"); },       [&] { transaction.Commit(); },
      [&] { transaction.Rollback(); },
  };
  for (auto& operation : operations) {
    try {
      operation();
      ADD_FAILURE() << "ran without a connection";
    } catch (const EDatabaseError& e) {
      EXPECT_STREQ(e.what(), "Not connected yet");
    }
  }
  EXPECT_TRUE(cursor.history.empty());
}

TEST_F(TransactComponent, ConnectWithoutDatabaseComponentFailsAndRestoresTheCursor) {
  TZMySqlTransact lonely;
  try {
    lonely.SetConnected(true);
    FAIL() << "connected without a database component";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Database component not defined");
  }
  EXPECT_EQ(cursor.current, crHourGlass);
  EXPECT_TRUE(cursor.ShowedSqlWait());
}

TEST_F(TransactComponent, WithoutHourGlassOptionTheCursorStays) {
  transaction.SetOptions({});
  transaction.Connect();  // the database component shows its own cursor
  cursor.history.clear();
  transaction.ExecSql("SELECT 1");
  EXPECT_FALSE(cursor.ShowedSqlWait());
  EXPECT_EQ(cursor.current, crHourGlass);
}

// --- automatic commit as the monitor sees it ---

TEST_F(TransactComponent, AutoCommitWithoutBracketsSendsOnlyTheStatement) {
  FreshTable();
  CollectingMonitor log(transaction, &events);
  transaction.Connect();
  EXPECT_EQ(transaction.ExecSql("INSERT INTO t (name) VALUES ('a'), ('b')"), 2);
  transaction.Disconnect();
  EXPECT_EQ(log.reports, (Reports{{"CONNECT tabulix_comp_transact", "OK."},
                                  {"INSERT INTO t (name) VALUES ('a'), ('b')", "OK."},
                                  {"DISCONNECT tabulix_comp_transact", "OK."}}));
  EXPECT_EQ(events,
            (std::vector<std::string>{"monitor CONNECT tabulix_comp_transact OK.",
                                      "monitor INSERT INTO t (name) VALUES ('a'), "
                                      "('b') OK.",
                                      "commit", "monitor DISCONNECT tabulix_comp_transact OK."}));
  EXPECT_EQ(CountRows(), "2");
}

TEST_F(TransactComponent, AutoCommitWithBracketsCommitsAndBeginsAfterEveryStatement) {
  FreshTable();
  transaction.SetTransactSafe(true);
  CollectingMonitor log(transaction);
  transaction.Connect();
  transaction.ExecSql("INSERT INTO t (name) VALUES ('a')");
  transaction.Disconnect();
  EXPECT_EQ(log.reports, (Reports{{"CONNECT tabulix_comp_transact", "OK."},
                                  {"BEGIN", "OK."},
                                  {"INSERT INTO t (name) VALUES ('a')", "OK."},
                                  {"COMMIT", "OK."},
                                  {"BEGIN", "OK."},
                                  {"ROLLBACK", "OK."},
                                  {"DISCONNECT tabulix_comp_transact", "OK."}}));
  EXPECT_EQ(CountRows(), "1") << "committed before the closing ROLLBACK";
}

TEST_F(TransactComponent, WithBracketsAndWithoutAutoCommitRollbackUndoes) {
  FreshTable();
  transaction.SetTransactSafe(true);
  transaction.SetAutoCommit(false);
  transaction.Connect();
  transaction.ExecSql("INSERT INTO t (name) VALUES ('a')");
  EXPECT_EQ(CountRows(), "0") << "not committed yet";
  transaction.Rollback();
  transaction.ExecSql("INSERT INTO t (name) VALUES ('b')");
  transaction.Commit();
  EXPECT_EQ(CountRows(), "1");
  EXPECT_EQ(events, (std::vector<std::string>{"rollback", "commit"}));
}

TEST_F(TransactComponent, WithoutBracketsCommitAndRollbackSendNothingButRaiseTheirEvents) {
  transaction.SetAutoCommit(false);
  transaction.Connect();
  CollectingMonitor log(transaction);
  transaction.Commit();
  transaction.Rollback();
  EXPECT_TRUE(log.reports.empty());
  EXPECT_EQ(events, (std::vector<std::string>{"commit", "rollback"}));
}

// --- TransactSafe write rules ---

TEST_F(TransactComponent, TransactSafeWhileDisconnectedIsOnlyStored) {
  CollectingMonitor log(transaction);
  transaction.SetTransactSafe(true);
  EXPECT_TRUE(transaction.TransactSafe());
  EXPECT_TRUE(transaction.Handle().TransactSafe());
  transaction.SetTransactSafe(false);
  EXPECT_FALSE(transaction.TransactSafe());
  EXPECT_TRUE(log.reports.empty());
}

TEST_F(TransactComponent, TransactSafeOffWhileConnectedRollsBackFirst) {
  FreshTable();
  transaction.SetTransactSafe(true);
  transaction.SetAutoCommit(false);
  transaction.Connect();
  transaction.ExecSql("INSERT INTO t (name) VALUES ('lost')");
  CollectingMonitor log(transaction);
  transaction.SetTransactSafe(true);  // the current value: nothing happens
  transaction.SetTransactSafe(false);
  EXPECT_EQ(log.reports, (Reports{{"ROLLBACK", "OK."}}));
  EXPECT_EQ(CountRows(), "0");
  transaction.ExecSql("INSERT INTO t (name) VALUES ('kept')");
  EXPECT_EQ(CountRows(), "1") << "the server commits by itself now";
}

TEST_F(TransactComponent, TransactSafeOnWhileConnectedBeginsATransactionAtOnce) {
  FreshTable();
  transaction.SetAutoCommit(false);
  transaction.Connect();
  CollectingMonitor log(transaction);
  transaction.SetTransactSafe(true);
  EXPECT_EQ(log.reports, (Reports{{"BEGIN", "OK."}}));
  transaction.ExecSql("INSERT INTO t (name) VALUES ('pending')");
  EXPECT_EQ(CountRows(), "0") << "bracketed from the switch on";
  transaction.Rollback();
  EXPECT_EQ(CountRows(), "0");
}

// --- failures and recovery ---

TEST_F(TransactComponent, FailedStatementRaisesTheServerTextAndTheConnectionStaysUsable) {
  transaction.Connect();
  CollectingMonitor log(transaction, &events);
  std::string message;
  try {
    transaction.ExecSql("SELEC 1");
    FAIL() << "the server took a syntax error";
  } catch (const EDatabaseError& e) {
    message = e.what();
  }
  EXPECT_NE(message.find("You have an error in your SQL syntax"), std::string::npos) << message;
  ASSERT_EQ(log.reports.size(), 1u);
  EXPECT_EQ(log.reports[0], (Report{"SELEC 1", message}));
  EXPECT_EQ(events.size(), 1u) << "a failed statement is not committed";
  EXPECT_EQ(transaction.QueryHandle().Sql(), "");
  EXPECT_EQ(cursor.current, crHourGlass);
  EXPECT_TRUE(transaction.Connected());
  EXPECT_EQ(transaction.ExecSql("SELECT 1"), 1);
  EXPECT_EQ(log.reports.back(), (Report{"SELECT 1", "OK."}));
  EXPECT_EQ(log.reports.size(), 2u) << "no reconnect";
}

TEST_F(TransactComponent, ExecFuncFailureRaisesTheServerTextAndRestoresTheCursor) {
  transaction.Connect();
  EXPECT_THROW(transaction.ExecFunc("no_such_function()"), EDatabaseError);
  EXPECT_EQ(cursor.current, crHourGlass);
  EXPECT_FALSE(transaction.QueryHandle().Active());
  EXPECT_EQ(transaction.ExecFunc("2+3"), "5");
}

TEST_F(TransactComponent, ExecFuncSendsSelectAndGivesTheFirstColumnOfTheFirstRow) {
  FreshTable();
  transaction.Connect();
  transaction.ExecSql("INSERT INTO t (name) VALUES ('x')");
  CollectingMonitor log(transaction);
  EXPECT_EQ(transaction.ExecFunc("LAST_INSERT_ID()"), "1");
  EXPECT_EQ(log.reports, (Reports{{"SELECT LAST_INSERT_ID()", "OK."}}));
  EXPECT_EQ(events, (std::vector<std::string>{"commit", "commit"}));
  EXPECT_EQ(transaction.ExecFunc("NULL"), "");
}

TEST_F(TransactComponent, ExecSqlParamsRunsTheStatementLikeExecSql) {
  FreshTable();
  transaction.Connect();
  std::vector<FieldValue> unused = {FieldValue::Integer(7)};
  EXPECT_EQ(transaction.ExecSqlParams("INSERT INTO t (name) VALUES ('p')", unused), 1);
  EXPECT_EQ(CountRows(), "1");
  EXPECT_THROW(transaction.ExecSqlParams("INSERT INTO nowhere VALUES (1)", unused), EDatabaseError);
}

// --- data change rule ---

TEST_F(TransactComponent, DataChangeFollowsTheFirstWordOfTheStatement) {
  FreshTable();
  transaction.Connect();
  int changes = 0;
  transaction.SetOnDataChange([&](TComponent& sender) {
    EXPECT_EQ(&sender, &transaction);
    ++changes;
  });
  struct Case {
    std::string sql;
    bool changes;
  };
  const std::vector<Case> cases = {
      {"  \r\ninsert into t (name) values ('a')", true},
      {"\tUPDATE t SET name = 'b'", true},
      {"Delete FROM t WHERE id = 0", true},
      {"REPLACE INTO t (id, name) VALUES (1, 'c')", false},
      {"SELECT * FROM t", false},
      {"(SELECT 1)", false},
      {"SET @x = 1", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    changes = 0;
    transaction.ExecSql(c.sql);
    EXPECT_EQ(changes, c.changes ? 1 : 0) << c.sql;
  }
  changes = 0;
  EXPECT_THROW(transaction.ExecSql("INSERT INTO nowhere VALUES (1)"), EDatabaseError);
  EXPECT_EQ(changes, 0) << "a failed statement changes nothing";
}

TEST_F(TransactComponent, ApplyUpdatesIsRaisedWithTheGivenSender) {
  TComponent dataset;
  TComponent* seen = nullptr;
  transaction.SetOnApplyUpdates([&](TComponent& sender) { seen = &sender; });
  transaction.DoApplyUpdates(dataset);
  EXPECT_EQ(seen, &dataset);
}

// --- Database write rule ---

TEST_F(TransactComponent, WritingDatabaseDisconnectsAndRebindsTheDirectObjects) {
  transaction.Connect();
  TZMySqlDatabase other;
  SetUpDatabase(other, "mysql");
  CollectingMonitor log(transaction);
  transaction.SetDatabase(&other);
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(database.TransactionCount(), 0u);
  ASSERT_EQ(other.TransactionCount(), 1u);
  EXPECT_EQ(transaction.Handle().Connect(), &other.Handle());
  EXPECT_EQ(transaction.QueryHandle().Connect(), &other.Handle());
  transaction.Connect();
  EXPECT_EQ(transaction.ExecFunc("DATABASE()"), "mysql");
  transaction.SetDatabase(nullptr);
  EXPECT_EQ(transaction.Handle().Connect(), nullptr);
  EXPECT_EQ(log.reports, (Reports{{"DISCONNECT tabulix_comp_transact", "OK."},
                                  {"CONNECT mysql", "OK."},
                                  {"SELECT DATABASE()", "OK."},
                                  {"DISCONNECT mysql", "OK."}}));
}

TEST_F(TransactComponent, DestroyingAConnectedTransactionReportsItsLogoutAndUnbindsMonitors) {
  std::vector<std::string> seen;
  TZMonitor monitor;
  monitor.SetOnMonitorEvent([&](const std::string& sql, const std::string& result) {
    seen.push_back(sql + " " + result);
  });
  {
    TZMySqlTransact doomed;
    doomed.SetDatabase(&database);
    monitor.SetTransaction(&doomed);
    doomed.Connect();
    EXPECT_EQ(database.TransactionCount(), 2u);
  }
  EXPECT_EQ(monitor.Transaction(), nullptr);
  EXPECT_EQ(database.TransactionCount(), 1u);
  EXPECT_EQ(seen, (std::vector<std::string>{"CONNECT tabulix_comp_transact OK.",
                                            "CONNECT tabulix_comp_transact OK.",
                                            "DISCONNECT tabulix_comp_transact OK."}));
}

}  // namespace
}  // namespace tabulix::test
