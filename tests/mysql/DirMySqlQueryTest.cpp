#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"
#include "mysql/TDirMySqlQuery.h"
#include "mysql/TDirQuery.h"

namespace tabulix {
namespace {

using test::DirSession;
using test::MonitorRecorder;
using test::Report;

const std::string kName = "tabulix_mysql_dirquery";

class DirMySqlQuery : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS " + kName);
    admin.Exec("CREATE DATABASE " + kName);
    DirSession s(kName);
    s.Exec("CREATE TABLE five (id INT PRIMARY KEY, name VARCHAR(20))");
    s.Exec("INSERT INTO five VALUES (1,'one'),(2,'two'),(3,'three'),(4,'four'),(5,'five')");
    s.Exec("CREATE TABLE empty_t (a INT, b TEXT)");
  }
  static void TearDownTestSuite() {
    DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS " + kName);
  }

  DirSession s_{kName};
  TDirMySqlQuery& q_ = s_.query;
};

TEST_F(DirMySqlQuery, ExecuteCommandReturnsTheAffectedRowsAndReportsTheStatement) {
  s_.Exec("CREATE TEMPORARY TABLE tmp (id INT)");
  MonitorRecorder recorder;
  q_.SetSql("INSERT INTO tmp VALUES (1),(2),(3)");
  EXPECT_EQ(q_.ExecuteCommand(), 3);
  EXPECT_EQ(q_.Status(), qsCommandDone);
  EXPECT_EQ(q_.AffectedRows(), 3);
  EXPECT_FALSE(q_.Active());
  EXPECT_EQ(q_.ErrorText(), "");
  q_.SetSql("UPDATE tmp SET id = id + 10 WHERE id > 1");
  EXPECT_EQ(q_.Execute({}), 2);
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"INSERT INTO tmp VALUES (1),(2),(3)", "OK."},
                                 {"UPDATE tmp SET id = id + 10 WHERE id > 1", "OK."}}));
}

TEST_F(DirMySqlQuery, ExecuteCommandCountsTheRowsOfReadingStatements) {
  q_.SetSql("SELECT COUNT(*) FROM five");
  EXPECT_EQ(q_.ExecuteCommand(), 1);
  EXPECT_FALSE(q_.Active());
  EXPECT_EQ(q_.Handle(), nullptr);
  q_.SetSql("  \n\tselect * from five");
  EXPECT_EQ(q_.ExecuteCommand(), 5);
  q_.SetSql("show tables");
  EXPECT_EQ(q_.ExecuteCommand(), 2);
  q_.SetSql("DESCRIBE five");
  EXPECT_EQ(q_.ExecuteCommand(), 2);
}

TEST_F(DirMySqlQuery, ResultOfAStatementNotTakenForReadingIsReadOff) {
  // In parentheses the statement is not recognised: the count is the connection's, which
  // knows no number of rows before they are read.
  q_.SetSql("(SELECT COUNT(*) FROM five)");
  EXPECT_EQ(q_.ExecuteCommand(), -1);
  EXPECT_EQ(q_.Status(), qsCommandDone);
  // The unread result must not stand in the way of the next statement.
  EXPECT_EQ(s_.Scalar("SELECT name FROM five WHERE id = 2"), "two");
}

TEST_F(DirMySqlQuery, ProcedureResultsAreAllReadOff) {
  s_.Exec("CREATE PROCEDURE IF NOT EXISTS two_results() BEGIN SELECT 1; SELECT 2; END");
  q_.SetSql("CALL two_results()");
  q_.ExecuteCommand();
  EXPECT_EQ(q_.Status(), qsCommandDone) << q_.ErrorText();
  EXPECT_EQ(s_.Scalar("SELECT 3"), "3");
  s_.Open("CALL two_results()");
  EXPECT_EQ(q_.FieldValue(0), "1");
  q_.Close();
  EXPECT_EQ(s_.Scalar("SELECT 4"), "4");
  q_.SetStoreResult(false);
  s_.Open("CALL two_results()");
  q_.Close();
  EXPECT_EQ(s_.Scalar("SELECT 5"), "5");
}

// Failures that arrive after the first result: a procedure's later statement, a SIGNAL, rows
// cut off by a time limit far below what they take. Each fails the statement as a whole on
// every path, streamed ones at the end of their rows.
TEST_F(DirMySqlQuery, FailureAfterTheFirstResultFailsTheStatement) {
  s_.Exec("CREATE PROCEDURE IF NOT EXISTS second_fails() BEGIN SELECT 1; SELECT * FROM nix; END");
  s_.Exec(
      "CREATE PROCEDURE IF NOT EXISTS signals() BEGIN SELECT 1; "
      "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'Stopped after the first result'; END");
  const std::string limit = "SET STATEMENT max_statement_time=0.01 FOR ";
  const struct {
    std::string sql;
    unsigned number;
    const char* messagePart;
  } cases[] = {
      {"CALL second_fails()", 1146, "nix' doesn't exist"},
      {"CALL signals()", 1644, "Stopped after the first result"},
      {limit + "WITH t AS (SELECT seq FROM seq_1_to_100000000) SELECT seq FROM t", 1969,
       "max_statement_time exceeded"},
      {limit + "(SELECT seq FROM seq_1_to_100000000)", 1969, "max_statement_time exceeded"},
  };
  enum Path { kExecute, kStored, kStreamed };
  for (const Path path : {kExecute, kStored, kStreamed}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << "path " << path << ": " << c.sql);
      MonitorRecorder recorder;
      q_.SetSql(c.sql);
      q_.SetStoreResult(path != kStreamed);
      if (path == kExecute) {
        q_.ExecuteCommand();
      } else {
        for (q_.Open(); !q_.Eof();) q_.Next();
      }
      EXPECT_EQ(q_.Status(), path == kExecute ? qsFailed : qsIdle);
      EXPECT_FALSE(q_.Active());
      EXPECT_EQ(q_.AffectedRows(), 0);
      EXPECT_NE(q_.ErrorText().find(c.messagePart), std::string::npos) << q_.ErrorText();
      EXPECT_EQ(q_.ErrorNumber(), c.number);
      // The failure is the last report; a streamed open was "OK." until its rows ran out.
      std::vector<Report> reports = recorder.Take();
      ASSERT_FALSE(reports.empty());
      EXPECT_EQ(reports.back(), (Report{c.sql, q_.ErrorText()}));
      reports.pop_back();
      for (const Report& r : reports) EXPECT_EQ(r.result, "OK.");
      q_.Close();
      EXPECT_EQ(s_.Scalar("SELECT 'next'"), "next");  // nothing of it is left on the line
    }
  }
}

TEST_F(DirMySqlQuery, FailedStatementCarriesTheServersMessage) {
  MonitorRecorder recorder;
  q_.SetSql("SELEC 1");
  EXPECT_EQ(q_.ExecuteCommand(), 0);
  EXPECT_EQ(q_.Status(), qsFailed);
  const std::string message = q_.ErrorText();
  EXPECT_NE(message.find("You have an error in your SQL syntax"), std::string::npos) << message;
  EXPECT_EQ(q_.ErrorNumber(), 1064u);
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"SELEC 1", message}}));
  // The connection stays usable.
  EXPECT_EQ(s_.Scalar("SELECT 1"), "1");
}

TEST_F(DirMySqlQuery, OpenOfAFailingStatementStaysIdle) {
  MonitorRecorder recorder;
  q_.SetSql("SELECT * FROM no_such_table");
  q_.Open();
  EXPECT_EQ(q_.Status(), qsIdle);
  EXPECT_FALSE(q_.Active());
  EXPECT_TRUE(q_.Eof());
  EXPECT_NE(q_.ErrorText().find("doesn't exist"), std::string::npos) << q_.ErrorText();
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"SELECT * FROM no_such_table", q_.ErrorText()}}));
}

TEST_F(DirMySqlQuery, UnusableConnectionSendsNothing) {
  MonitorRecorder recorder;
  TDirMySqlQuery noConnection(nullptr, &s_.transact);
  noConnection.SetSql("SELECT 1");
  EXPECT_EQ(noConnection.ExecuteCommand(), 0);
  EXPECT_EQ(noConnection.Status(), qsFailed);
  TDirMySqlQuery noTransaction(&s_.connect, nullptr);
  noTransaction.SetSql("SELECT 1");
  noTransaction.Open();
  EXPECT_EQ(noTransaction.Status(), qsInitial);
  s_.transact.Close();
  recorder.Take();  // the logout
  q_.SetSql("SELECT 1");
  EXPECT_EQ(q_.ExecuteCommand(), 0);
  EXPECT_EQ(q_.Status(), qsFailed);
  q_.SetStatus(qsCommandDone);
  q_.Open();  // nothing at all happens
  EXPECT_EQ(q_.Status(), qsCommandDone);
  EXPECT_TRUE(recorder.reports.empty());
}

TEST_F(DirMySqlQuery, OpenOfAStatementWithoutResultIsReportedAsFailedWithoutText) {
  MonitorRecorder recorder;
  q_.SetSql("CREATE TEMPORARY TABLE tmp2 (a INT)");
  q_.Open();
  EXPECT_FALSE(q_.Active());
  EXPECT_EQ(q_.Status(), qsIdle);
  EXPECT_EQ(q_.ErrorText(), "");
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"CREATE TEMPORARY TABLE tmp2 (a INT)", ""}}));
  EXPECT_EQ(s_.Scalar("SELECT COUNT(*) FROM tmp2"), "0");  // it ran
}

TEST_F(DirMySqlQuery, BlanksAreCollapsedOutsideStringsButReportedAsWritten) {
  const std::string sql = "\r\n  SELECT\t'a\t  b',\n\n   name   FROM\tfive\n WHERE id = 3  \r\n";
  MonitorRecorder recorder;
  q_.SetSql(sql);
  q_.Open();
  ASSERT_EQ(q_.Status(), qsRowsReady) << q_.ErrorText();
  EXPECT_EQ(q_.FieldValue(0), "a\t  b");
  EXPECT_EQ(q_.FieldValue(1), "three");
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{sql, "OK."}}));
  // The server's own record of the statement it is running shows what it received.
  s_.Open("  SELECT\tINFO  FROM information_schema.PROCESSLIST\r\n  WHERE ID = CONNECTION_ID() ");
  EXPECT_EQ(q_.FieldValue(0),
            "SELECT INFO FROM information_schema.PROCESSLIST WHERE ID = CONNECTION_ID()");
}

TEST_F(DirMySqlQuery, ZeroByteInsideAStatementDoesNotCutIt) {
  const std::string sql = std::string("SELECT 'a") + '\0' + "b', 2";
  s_.Open(sql);
  EXPECT_EQ(q_.FieldCount(), 2);
  EXPECT_EQ(q_.FieldValue(0), std::string("a\0b", 3));
}

TEST_F(DirMySqlQuery, EmptyStoredResultStandsAtBofAndEof) {
  s_.Open("SELECT * FROM empty_t");
  EXPECT_TRUE(q_.Active());
  EXPECT_EQ(q_.RecordCount(), 0);
  EXPECT_EQ(q_.FieldCount(), 2);
  EXPECT_TRUE(q_.Bof());
  EXPECT_TRUE(q_.Eof());
  EXPECT_EQ(q_.FieldBuffer(0), nullptr);
  EXPECT_EQ(q_.FieldBuffer(1), nullptr);
  EXPECT_TRUE(q_.FieldIsNull(0));
  EXPECT_EQ(q_.FieldValue(0), "");
  q_.Next();
  EXPECT_TRUE(q_.Eof());
}

TEST_F(DirMySqlQuery, StoredResultNavigation) {
  s_.Open("SELECT id, name FROM five ORDER BY id");
  EXPECT_EQ(q_.RecordCount(), 5);
  EXPECT_FALSE(q_.Bof());
  EXPECT_FALSE(q_.Eof());
  EXPECT_EQ(q_.RecNo(), 0);
  EXPECT_EQ(q_.FieldValue(1), "one");
  q_.Next();
  EXPECT_EQ(q_.FieldValue(1), "two");
  q_.Last();
  EXPECT_EQ(q_.RecNo(), 4);
  EXPECT_EQ(q_.FieldValue(1), "five");
  q_.Prior();
  EXPECT_EQ(q_.FieldValue(0), "4");
  q_.GoTo(100);
  EXPECT_EQ(q_.RecNo(), 4);
  EXPECT_FALSE(q_.Eof());
  EXPECT_EQ(q_.FieldValue(0), "5");
  q_.Next();  // past the last row
  EXPECT_TRUE(q_.Eof());
  EXPECT_EQ(q_.FieldBuffer(0), nullptr);
  q_.GoTo(-3);
  EXPECT_EQ(q_.RecNo(), 0);
  EXPECT_EQ(q_.FieldValue(1), "one");
  q_.Prior();
  EXPECT_TRUE(q_.Bof());
  EXPECT_EQ(q_.FieldBuffer(0), nullptr);
  q_.First();
  EXPECT_STREQ(q_.FieldBuffer(1), "one");
  q_.Close();
  EXPECT_FALSE(q_.Active());
  EXPECT_EQ(q_.Status(), qsIdle);
  EXPECT_EQ(q_.RecordCount(), 0);
  EXPECT_EQ(q_.FieldValue(0), "");
}

TEST_F(DirMySqlQuery, ColumnDescriptions) {
  s_.Exec(
      "CREATE TEMPORARY TABLE typed (i INT, big BIGINT, d DECIMAL(10,2), f DOUBLE, "
      "dt DATE, tm TIME, ts DATETIME, txt TEXT, bin LONGBLOB, s VARCHAR(30))");
  s_.Exec(
      "INSERT INTO typed VALUES (1, 2, 3.25, 4.5, '2001-12-31', '14:05:09', "
      "'2001-12-31 14:05:09', 'memo', 'blob', 'text')");
  s_.Open("SELECT * FROM typed");
  const TFieldType expected[] = {ftInteger, ftLargeint, ftFloat, ftFloat, ftDate,
                                 ftTime,    ftDateTime, ftMemo,  ftBlob,  ftString};
  ASSERT_EQ(q_.FieldCount(), 10);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(q_.FieldDataType(i), expected[i]) << q_.FieldName(i);
  EXPECT_EQ(q_.FieldName(2), "d");
  EXPECT_EQ(q_.FieldDecimals(2), 2);
  EXPECT_EQ(q_.FieldValue(2), "3.25");
  EXPECT_EQ(q_.FieldType(0), 3);       // MYSQL_TYPE_LONG
  EXPECT_EQ(q_.FieldType(8), 252);     // MYSQL_TYPE_BLOB
  EXPECT_EQ(q_.FieldMaxSize(9), 120);  // 30 characters of up to 4 bytes
  EXPECT_EQ(q_.FieldSize(9), 4);
  EXPECT_EQ(q_.FieldMaxSize(8), 2147483647);  // a LONGBLOB's 4 GB, not a negative size
  EXPECT_EQ(q_.FieldValue(6), "2001-12-31 14:05:09");
  // Columns that do not exist give empty answers.
  EXPECT_EQ(q_.FieldName(10), "");
  EXPECT_EQ(q_.FieldName(-1), "");
  EXPECT_EQ(q_.FieldSize(10), 0);
  EXPECT_EQ(q_.FieldBuffer(10), nullptr);
  EXPECT_EQ(q_.FieldDataType(10), ftUnknown);
  EXPECT_FALSE(q_.FieldReadOnly(0));
}

TEST_F(DirMySqlQuery, AliasesAndIndexesOfRepeatedColumnNames) {
  s_.Open("SELECT 1 AS id, 2 AS id, 3 AS id, 4 AS Name");
  EXPECT_EQ(q_.FieldAlias(0), "id");
  EXPECT_EQ(q_.FieldAlias(1), "id_1");
  EXPECT_EQ(q_.FieldAlias(2), "id_2");
  EXPECT_EQ(q_.FieldAlias(3), "Name");
  EXPECT_EQ(q_.FieldIndex("ID"), 0);
  EXPECT_EQ(q_.FieldIndex("id_1"), 1);
  EXPECT_EQ(q_.FieldIndex("Id_2"), 2);
  EXPECT_EQ(q_.FieldIndex("id_3"), -1);
  EXPECT_EQ(q_.FieldIndex("id_x"), -1);
  EXPECT_EQ(q_.FieldIndex("name"), 3);
  EXPECT_EQ(q_.FieldIndex("other"), -1);
  q_.Close();
  EXPECT_EQ(q_.FieldIndex("id"), -1);
}

TEST_F(DirMySqlQuery, NullEmptyAndZeroBytesAreToldApart) {
  const std::string zeros("a\0b\0", 4);
  s_.Exec("CREATE TEMPORARY TABLE z (v BLOB)");
  s_.Exec("INSERT INTO z VALUES ('" + q_.EscapeString(zeros) + "'), (''), (NULL)");
  s_.Open("SELECT v FROM z");
  EXPECT_EQ(q_.FieldValue(0), zeros);
  EXPECT_EQ(q_.FieldSize(0), 4);
  EXPECT_FALSE(q_.FieldIsNull(0));
  q_.Next();
  EXPECT_EQ(q_.FieldValue(0), "");
  EXPECT_FALSE(q_.FieldIsNull(0));
  q_.Next();
  EXPECT_EQ(q_.FieldValue(0), "");
  EXPECT_TRUE(q_.FieldIsNull(0));
}

TEST_F(DirMySqlQuery, SixteenMegabyteValueRoundTrip) {
  std::string value(16 * 1024 * 1024, '\0');
  for (std::size_t i = 0; i < value.size(); ++i) value[i] = static_cast<char>((i * 7919) % 256);
  s_.Exec("CREATE TEMPORARY TABLE big (v LONGBLOB)");
  s_.Exec("INSERT INTO big VALUES ('" + q_.EscapeString(value) + "')");
  s_.Open("SELECT v, LENGTH(v) FROM big");
  EXPECT_EQ(q_.FieldValue(1), std::to_string(value.size()));
  EXPECT_EQ(q_.FieldSize(0), static_cast<int>(value.size()));
  EXPECT_TRUE(q_.FieldValue(0) == value);
  q_.Close();
  q_.SetStoreResult(false);
  s_.Open("SELECT v FROM big");
  EXPECT_TRUE(q_.FieldValue(0) == value);
}

class DirMySqlQueryManyRows : public DirMySqlQuery {
 protected:
  static void SetUpTestSuite() {
    DirMySqlQuery::SetUpTestSuite();
    DirSession s(kName);
    s.Exec("CREATE TABLE many (n INT PRIMARY KEY, t VARCHAR(40))");
    s.Exec("INSERT INTO many SELECT seq, CONCAT('row ', seq) FROM seq_1_to_100000");
  }
};

TEST_F(DirMySqlQueryManyRows, StoredResultOfAHundredThousandRows) {
  s_.Open("SELECT n, t FROM many ORDER BY n");
  ASSERT_EQ(q_.RecordCount(), 100000);
  long long sum = 0;
  int rows = 0;
  for (q_.First(); !q_.Eof(); q_.Next()) {
    sum += std::stoll(q_.FieldValue(0));
    ++rows;
  }
  EXPECT_EQ(rows, 100000);
  EXPECT_EQ(sum, 100000LL * 100001 / 2);
  q_.GoTo(54320);
  EXPECT_EQ(q_.FieldValue(1), "row 54321");
}

TEST_F(DirMySqlQueryManyRows, StreamedResultOfAHundredThousandRows) {
  q_.SetStoreResult(false);
  s_.Open("SELECT n, t FROM many ORDER BY n");
  long long sum = 0;
  int rows = 0;
  std::string last;
  while (!q_.Eof()) {
    ASSERT_EQ(q_.RecNo(), rows);
    sum += std::stoll(q_.FieldValue(0));
    last = q_.FieldValue(1);
    ++rows;
    q_.Next();
  }
  EXPECT_EQ(rows, 100000);
  EXPECT_EQ(sum, 100000LL * 100001 / 2);
  EXPECT_EQ(last, "row 100000");
  EXPECT_EQ(q_.Status(), qsRowsReady);
  EXPECT_EQ(q_.RecordCount(), 100000);
}

TEST_F(DirMySqlQueryManyRows, StreamedResultLeftHalfReadDoesNotBlockTheConnection) {
  q_.SetStoreResult(false);
  s_.Open("SELECT n FROM many");
  for (int i = 0; i < 10; ++i) q_.Next();
  q_.Close();
  EXPECT_EQ(s_.Scalar("SELECT COUNT(*) FROM many"), "100000");
}

TEST_F(DirMySqlQueryManyRows, LoggingOutClosesAStreamedResultFirst) {
  TDirMySqlQuery streamed(&s_.connect, &s_.transact);
  streamed.SetStoreResult(false);
  streamed.SetSql("SELECT n FROM many");
  streamed.Open();
  ASSERT_TRUE(streamed.Active());
  s_.transact.Close();
  EXPECT_FALSE(streamed.Active());
  EXPECT_EQ(streamed.Handle(), nullptr);
  EXPECT_TRUE(streamed.Eof());
  streamed.Next();  // nothing to read
  EXPECT_EQ(streamed.FieldValue(0), "");
}

TEST_F(DirMySqlQuery, ShowRequestsBuildTheirStatements) {
  MonitorRecorder recorder;
  q_.ShowTables("fi%");
  EXPECT_EQ(q_.Sql(), "SHOW TABLES LIKE \"fi%\"");
  EXPECT_EQ(q_.RecordCount(), 1);
  EXPECT_EQ(q_.FieldValue(0), "five");
  q_.ShowColumns("five", "");
  EXPECT_EQ(q_.Sql(), "SHOW COLUMNS FROM five");
  EXPECT_EQ(q_.RecordCount(), 2);
  EXPECT_EQ(q_.FieldValue(1), "int(11)");
  q_.ShowColumns("five", "na%");
  EXPECT_EQ(q_.Sql(), "SHOW COLUMNS FROM five LIKE \"na%\"");
  EXPECT_EQ(q_.FieldValue(0), "name");
  q_.ShowIndexes("five");
  EXPECT_EQ(q_.Sql(), "SHOW INDEX FROM five");
  EXPECT_EQ(q_.FieldValue(q_.FieldIndex("Key_name")), "PRIMARY");
  q_.ShowDatabases(kName);
  EXPECT_EQ(q_.Sql(), "SHOW DATABASES LIKE \"" + kName + "\"");
  EXPECT_EQ(q_.RecordCount(), 1);
  q_.ShowDatabases("");
  EXPECT_EQ(q_.Sql(), "SHOW DATABASES");
  EXPECT_EQ(recorder.Take().size(), 6u);
}

TEST_F(DirMySqlQuery, ShowPatternCannotLeaveItsLiteral) {
  q_.ShowTables("x\" OR \"1\"=\"1");
  EXPECT_EQ(q_.Status(), qsRowsReady) << q_.ErrorText();
  EXPECT_EQ(q_.RecordCount(), 0);
}

TEST_F(DirMySqlQuery, EscapeStringByQueryKind) {
  TDirQuery base;
  EXPECT_EQ(base.EscapeString("it's"), "it''s");
  EXPECT_EQ(q_.EscapeString(std::string("a'b\n\\", 5)), "a\\'b\\n\\\\");
}

TEST(DirQueryBase, RunsNothingAndNavigatesAnEmptyResult) {
  TDirQuery query;
  EXPECT_EQ(query.Status(), qsInitial);
  EXPECT_TRUE(query.Bof());
  EXPECT_TRUE(query.Eof());
  query.SetSql("SELECT 1");
  EXPECT_EQ(query.ExecuteCommand(), 0);
  EXPECT_EQ(query.Status(), qsIdle);
  query.Fields().Add("x");
  query.Open();
  query.Close();
  EXPECT_TRUE(query.Fields().Empty());
  query.Next();
  EXPECT_TRUE(query.Bof());
  EXPECT_TRUE(query.Eof());
  query.GoTo(3);
  EXPECT_EQ(query.RecNo(), 0);
  EXPECT_FALSE(query.Bof());
  EXPECT_TRUE(query.Eof());
  EXPECT_EQ(query.FieldIndex("x"), -1);
  EXPECT_TRUE(query.FieldIsNull(0));
  EXPECT_EQ(query.FieldDataType(0), ftUnknown);
}

}  // namespace
}  // namespace tabulix
