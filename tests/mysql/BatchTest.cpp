// The batch component and the transaction component's batch execution against the private
// server: scripts cut into statements, failures with and without an error handler, the
// events and positions of the execution, and the application's own import script end to end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DatabaseComponentFixture.h"
#include "framework/Exceptions.h"

namespace tabulix::test {
namespace {

constexpr const char* kDatabase = "tabulix_comp_batch";

class Batch : public ComponentTest {
 protected:
  static void SetUpTestSuite() { CreateSuiteDatabase(kDatabase); }

  void SetUp() override {
    ComponentTest::SetUp();
    SetUpDatabase(database, kDatabase);
    transaction.SetDatabase(&database);
    batch.SetTransaction(&transaction);
    ServerSession session(kDatabase);
    session.Exec("DROP TABLE IF EXISTS b");
  }

  void Script(std::initializer_list<std::string> lines) {
    batch.Sql().Clear();
    for (const auto& line : lines) batch.Sql().Add(line);
  }

  std::vector<std::string> Values() {
    ServerSession session(kDatabase);
    std::string all = session.Value("IFNULL(GROUP_CONCAT(a ORDER BY a), '') FROM b");
    std::vector<std::string> values;
    std::string item;
    for (char c : all) {
      if (c == ',') {
        values.push_back(item);
        item.clear();
      } else {
        item += c;
      }
    }
    if (!item.empty()) values.push_back(item);
    return values;
  }

  TZMySqlDatabase database;
  TZMySqlTransact transaction;
  TZBatchSql batch;
};

using Texts = std::vector<std::string>;

TEST_F(Batch, ThreeStatementsOnThreeLinesRunInOrderWithTheirPositions) {
  Script({"CREATE TABLE b (a INT);", "INSERT INTO b VALUES (1), (2);", "INSERT INTO b VALUES (3)"});
  struct Seen {
    std::string sql;
    int pos;
    int len;
    int line;
  };
  std::vector<Seen> seen;
  transaction.SetOnBeforeBatchExec([&](TComponent& sender, std::string& sql) {
    EXPECT_EQ(&sender, &transaction);
    seen.push_back({sql, transaction.BatchCurPos(), transaction.BatchCurLen(),
                    transaction.BatchCurrentLine()});
  });
  Texts events;
  batch.SetOnBeforeExecute([&](TComponent&) { events.push_back("before"); });
  batch.SetOnAfterExecute([&](TComponent&) { events.push_back("after"); });
  CollectingMonitor log(transaction);
  batch.ExecSql();
  EXPECT_TRUE(transaction.Connected()) << "the batch connects its transaction";
  EXPECT_EQ(batch.RowsAffected(), 1);
  EXPECT_EQ(events, (Texts{"before", "after"}));
  EXPECT_EQ(log.reports, (Reports{{"CONNECT tabulix_comp_batch", "OK."},
                                  {"CREATE TABLE b (a INT)", "OK."},
                                  {"INSERT INTO b VALUES (1), (2)", "OK."},
                                  {"INSERT INTO b VALUES (3)\r ", "OK."}}));
  EXPECT_EQ(Values(), (Texts{"1", "2", "3"}));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].pos, 1);
  EXPECT_EQ(seen[0].len, 23) << "the length covers the \";\"";
  EXPECT_EQ(seen[0].line, 1);
  EXPECT_EQ(seen[1].pos, 26) << "the statement starts at its first token, after the line break";
  EXPECT_EQ(seen[1].line, 2);
  EXPECT_EQ(seen[2].line, 3);
  EXPECT_EQ(seen[2].sql, "INSERT INTO b VALUES (3)\r ");
}

TEST_F(Batch, StatementOnTheThirdLineReportsLineThree) {
  Script({"CREATE TABLE b (a INT);", "", "INSERT INTO b VALUES (1)"});
  std::vector<int> lines;
  transaction.SetOnBeforeBatchExec(
      [&](TComponent&, std::string&) { lines.push_back(transaction.BatchCurrentLine()); });
  batch.ExecSql();
  EXPECT_EQ(lines, (std::vector<int>{1, 3}));
}

TEST_F(Batch, FailingMiddleStatementWithoutHandlerStopsTheScript) {
  Script({"CREATE TABLE b (a INT);", "INSERT INTO b VALUES (5)"});
  batch.ExecSql();  // an earlier, successful run sets RowsAffected
  Script(
      {"INSERT INTO b VALUES (1);", "INSERT INTO nowhere VALUES (2);", "INSERT INTO b VALUES (3)"});
  ServerSession session(kDatabase);
  session.Exec("DELETE FROM b");
  bool afterExecute = false;
  batch.SetOnAfterExecute([&](TComponent&) { afterExecute = true; });
  std::vector<int> afterBatch;
  transaction.SetOnAfterBatchExec([&](TComponent&, int& res) { afterBatch.push_back(res); });
  try {
    batch.ExecSql();
    FAIL() << "the failing statement did not raise";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("nowhere"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(afterExecute);
  EXPECT_EQ(batch.RowsAffected(), 1) << "kept from the earlier run";
  EXPECT_EQ(Values(), (Texts{"1"})) << "the statement before stays done";
  EXPECT_EQ(afterBatch, (std::vector<int>{1, 1}));
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(Batch, FailingMiddleStatementWithHandlerThatClearsStopGoesOn) {
  Script({"CREATE TABLE b (a INT);", "INSERT INTO nowhere VALUES (2);",
          "INSERT INTO b VALUES (3), (4)"});
  Texts errors;
  transaction.SetOnBatchError([&](TComponent&, const EDatabaseError& e, bool& stop) {
    EXPECT_TRUE(stop);
    errors.push_back(e.what());
    stop = false;
  });
  batch.ExecSql();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("nowhere"), std::string::npos);
  EXPECT_EQ(batch.RowsAffected(), 2) << "the third statement's count";
  EXPECT_EQ(Values(), (Texts{"3", "4"}));
}

TEST_F(Batch, FailingStatementWithHandlerThatKeepsStopPropagates) {
  Script(
      {"CREATE TABLE b (a INT);", "INSERT INTO nowhere VALUES (2);", "INSERT INTO b VALUES (3)"});
  int calls = 0;
  transaction.SetOnBatchError([&](TComponent&, const EDatabaseError&, bool&) { ++calls; });
  EXPECT_THROW(batch.ExecSql(), EDatabaseError);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(Values().empty());
}

// The tokenizer passes over an empty statement instead of ending the script there, so no
// statement after a doubled ";" is dropped without a word.
TEST_F(Batch, EmptyStatementBetweenTwoSemicolonsIsPassedOver) {
  Script({"CREATE TABLE b (a INT);;INSERT INTO b VALUES (1)"});
  CollectingMonitor log(transaction);
  batch.ExecSql();
  EXPECT_EQ(log.reports, (Reports{{"CONNECT tabulix_comp_batch", "OK."},
                                  {"CREATE TABLE b (a INT)", "OK."},
                                  {"INSERT INTO b VALUES (1)\r ", "OK."}}));
  EXPECT_EQ(batch.RowsAffected(), 1);
  EXPECT_EQ(Values(), (Texts{"1"}));
}

TEST_F(Batch, EmptyListConnectsSendsNothingAndGivesZero) {
  Script({"CREATE TABLE b (a INT);", "INSERT INTO b VALUES (1), (2)"});
  batch.ExecSql();
  ASSERT_EQ(batch.RowsAffected(), 2);
  transaction.Disconnect();
  batch.Sql().Clear();
  std::vector<int> afterBatch;
  transaction.SetOnAfterBatchExec([&](TComponent&, int& res) { afterBatch.push_back(res); });
  CollectingMonitor log(transaction);
  batch.ExecSql();
  EXPECT_TRUE(transaction.Connected());
  EXPECT_EQ(batch.RowsAffected(), 0);
  EXPECT_EQ(afterBatch, (std::vector<int>{0}));
  EXPECT_EQ(log.reports, (Reports{{"CONNECT tabulix_comp_batch", "OK."}}));
}

TEST_F(Batch, BeforeAndAfterBatchEventsMayChangeStatementAndResult) {
  Script({"CREATE TABLE b (a INT);", "INSERT INTO b VALUES (1)"});
  transaction.SetOnBeforeBatchExec([](TComponent&, std::string& sql) {
    if (sql.starts_with("INSERT")) sql = "INSERT INTO b VALUES (7), (8), (9)";
  });
  std::vector<int> afterBatch;
  transaction.SetOnAfterBatchExec([&](TComponent&, int& res) {
    afterBatch.push_back(res);
    res *= 10;
  });
  batch.ExecSql();
  EXPECT_EQ(Values(), (Texts{"7", "8", "9"}));
  EXPECT_EQ(afterBatch, (std::vector<int>{0, 3, 30}));
  EXPECT_EQ(batch.RowsAffected(), 300);
}

TEST_F(Batch, QuotedSemicolonAndCommentsDoNotSplit) {
  Script({"CREATE TABLE b (a VARCHAR(10)); # a comment; not a statement",
          "INSERT INTO b VALUES ('x;y') -- trailing; comment", ";"});
  batch.ExecSql();
  EXPECT_EQ(Values(), (Texts{"x;y"}));
}

TEST_F(Batch, BatchExecDirectlyReturnsTheLastCount) {
  transaction.Connect();
  EXPECT_EQ(transaction.BatchExec("CREATE TABLE b (a INT);\r\nINSERT INTO b VALUES (1),(2),(3)"),
            3);
  EXPECT_EQ(transaction.BatchExec(""), 0);
}

TEST_F(Batch, WithoutTransactionComponentItFails) {
  TZBatchSql lonely;
  lonely.Sql().Add("SELECT 1");
  try {
    lonely.ExecSql();
    FAIL() << "ran without a transaction component";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Transaction component not defined");
  }
}

TEST_F(Batch, CancelledLoginEndsTheBatchSilently) {
  database.SetLoginPrompt(true);
  dialog.Cancel();
  Script({"CREATE TABLE b (a INT)"});
  bool afterExecute = false;
  batch.SetOnAfterExecute([&](TComponent&) { afterExecute = true; });
  EXPECT_THROW(batch.ExecSql(), EAbort);
  EXPECT_FALSE(afterExecute);
  EXPECT_FALSE(transaction.Connected());
  EXPECT_EQ(cursor.current, crHourGlass);
}

TEST_F(Batch, SqlPropertyCopiesTheLinesAndRemovingTheTransactionEmptiesIt) {
  StringList lines{"SELECT 1", "SELECT 2"};
  batch.SetSql(lines);
  lines.Clear();
  EXPECT_EQ(batch.Sql().Count(), 2u);
  TComponent window;
  auto& tr = window.Create<TZMySqlTransact>();
  batch.SetTransaction(&tr);
  window.FreeComponent(tr);
  EXPECT_EQ(batch.Transaction(), nullptr);
}

// The import's connection sequence and its two guarded script steps, run through the
// window's components as the application sets them up; the log lines are compared with the
// ones the import run writes.
TEST_F(Batch, ApplicationImportScriptProducesTheExpectedLog) {
  const std::string target = "tabulix_comp_import";
  const std::string table = "orders";
  const std::string createText =
      "create table if not exists orders(ID int not null auto_increment,Name char(20),"
      "Notes mediumtext, PRIMARY KEY (ID))";
  {
    ServerSession session;
    session.Exec("DROP DATABASE IF EXISTS " + target);
  }

  TComponent window;
  window.BeginLoading();
  auto& db = window.Create<TZMySqlDatabase>();
  db.SetPort(ServerPort());
  db.SetEncoding(etNone);
  db.SetLogin("root");
  db.SetPassword("27053914");
  db.SetLoginPrompt(true);
  db.SetConnected(false);
  auto& tr = window.Create<TZMySqlTransact>();
  tr.SetDatabase(&db);
  tr.SetOptions({toHourGlass});
  tr.SetAutoCommit(true);
  tr.SetTransactSafe(false);
  auto& zbatch = window.Create<TZBatchSql>();
  zbatch.SetTransaction(&tr);
  auto& monitor = window.Create<TZMonitor>();
  Texts logLines;
  monitor.SetOnMonitorEvent([&](const std::string& sql, const std::string& result) {
    std::string line = "SQL>" + sql;
    std::size_t first = 0;
    std::size_t last = line.size();
    while (first < last && static_cast<unsigned char>(line[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(line[last - 1]) <= ' ') --last;
    logLines.push_back(line.substr(first, last - first));
    logLines.push_back("SQL>[" + result + "]");
  });
  monitor.SetTransaction(&tr);
  Texts indicator;
  db.SetAfterConnect([&](TComponent&) { indicator.push_back("green"); });
  db.SetAfterDisconnect([&](TComponent&) { indicator.push_back("red"); });
  window.EndLoading();

  dialog.TypeOk(Server().user, Server().password);
  auto execute = [&](const std::string& line) {
    zbatch.Sql().Clear();
    zbatch.Sql().Add(line);
    zbatch.ExecSql();
  };

  db.SetConnected(false);
  db.SetDatabase("mysql");
  db.SetHost(Server().host);
  db.SetLoginPrompt(true);
  db.SetConnected(true);
  ASSERT_TRUE(db.Connected());
  try {
    execute("create database if not exists " + target);
  } catch (const Exception&) {
    ADD_FAILURE() << "create database failed";
  }
  db.SetConnected(false);
  db.SetDatabase(target);
  db.SetLoginPrompt(false);
  db.SetConnected(true);
  try {
    execute("drop table if exists " + table);
    execute(createText);
  } catch (const Exception& e) {
    ADD_FAILURE() << e.what();
  }
  db.SetConnected(false);

  EXPECT_EQ(dialog.calls, 1);
  EXPECT_EQ(logLines,
            (Texts{"SQL>CONNECT mysql", "SQL>[OK.]", "SQL>create database if not exists " + target,
                   "SQL>[OK.]", "SQL>DISCONNECT mysql", "SQL>[OK.]", "SQL>CONNECT " + target,
                   "SQL>[OK.]", "SQL>drop table if exists " + table, "SQL>[OK.]",
                   "SQL>" + createText, "SQL>[OK.]", "SQL>DISCONNECT " + target, "SQL>[OK.]"}));
  EXPECT_EQ(indicator, (Texts{"green", "red", "green", "red"}));

  ServerSession session(target);
  EXPECT_EQ(session.Value("COUNT(*) FROM information_schema.columns WHERE table_schema = '" +
                          target + "' AND table_name = 'orders'"),
            "3");
  session.Exec("DROP DATABASE " + target);
}

}  // namespace
}  // namespace tabulix::test
