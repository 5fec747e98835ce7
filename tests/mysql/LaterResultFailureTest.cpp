// Statements whose failure arrives after their first result: a procedure's later statement, a
// SIGNAL, rows cut off by a time limit. Each must fail as a whole, on every path that sends it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"

namespace tabulix {
namespace {

using test::DirSession;
using test::MonitorRecorder;
using test::Report;

const std::string kName = "tabulix_mysql_laterresult";

struct LateFailure {
  const char* sql;
  unsigned errorNumber;
  const char* messagePart;
};

// The time limit is far below what the rows take: the server has begun to send them when it
// stops, so the error arrives in the middle of the result.
const LateFailure kLateFailures[] = {
    {"CALL second_fails()", 1146, "no_such_table' doesn't exist"},
    {"CALL signals()", 1644, "Stopped after the first result"},
    {"SET STATEMENT max_statement_time=0.01 FOR "
     "WITH t AS (SELECT seq FROM seq_1_to_100000000) SELECT seq FROM t",
     1969, "max_statement_time exceeded"},
    {"SET STATEMENT max_statement_time=0.01 FOR (SELECT seq FROM seq_1_to_100000000)", 1969,
     "max_statement_time exceeded"},
};

enum class Path { Execute, OpenStored, OpenStreamed };

class LaterResultFailure : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS " + kName);
    admin.Exec("CREATE DATABASE " + kName);
    DirSession s(kName);
    s.Exec("CREATE PROCEDURE second_fails() BEGIN SELECT 1 AS a; SELECT * FROM no_such_table; END");
    s.Exec(
        "CREATE PROCEDURE signals() BEGIN SELECT 1 AS a; "
        "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Stopped after the first result'; END");
  }
  static void TearDownTestSuite() {
    DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS " + kName);
  }

  // Runs the statement on one path to its end; gives the status the path ends in when the
  // statement fails.
  TDirQueryStatus Run(Path path, const std::string& sql) {
    TDirMySqlQuery& q = s_.query;
    q.SetSql(sql);
    switch (path) {
      case Path::Execute:
        q.ExecuteCommand();
        return qsFailed;
      case Path::OpenStored:
        q.SetStoreResult(true);
        q.Open();
        return qsIdle;
      case Path::OpenStreamed:
        q.SetStoreResult(false);
        q.Open();
        while (!q.Eof()) q.Next();
        return qsIdle;
    }
    return qsInitial;
  }

  DirSession s_{kName};
};

TEST_F(LaterResultFailure, FailsTheStatementWithTheServersMessageOnEveryPath) {
  for (const Path path : {Path::Execute, Path::OpenStored, Path::OpenStreamed}) {
    for (const LateFailure& c : kLateFailures) {
      SCOPED_TRACE(testing::Message() << "path " << static_cast<int>(path) << ": " << c.sql);
      MonitorRecorder recorder;
      const TDirQueryStatus failed = Run(path, c.sql);
      TDirMySqlQuery& q = s_.query;
      EXPECT_EQ(q.Status(), failed);
      EXPECT_FALSE(q.Active());
      EXPECT_EQ(q.AffectedRows(), 0);
      const std::string message = q.ErrorText();
      EXPECT_NE(message.find(c.messagePart), std::string::npos) << message;
      EXPECT_EQ(q.ErrorNumber(), c.errorNumber);
      // The failure is the statement's last report; a streamed open may have been reported
      // "OK." before its rows ran out.
      const std::vector<Report> reports = recorder.Take();
      ASSERT_FALSE(reports.empty());
      EXPECT_EQ(reports.back(), (Report{c.sql, message}));
      for (std::size_t i = 0; i + 1 < reports.size(); ++i) EXPECT_EQ(reports[i].result, "OK.");
      q.Close();
      // Nothing of the failed statement is left on the connection.
      EXPECT_EQ(s_.Scalar("SELECT 'next'"), "next");
    }
  }
}

}  // namespace
}  // namespace tabulix
