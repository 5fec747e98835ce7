#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"
#include "framework/Exceptions.h"
#include "mysql/TDirMySqlConnect.h"
#include "mysql/TDirMySqlTransact.h"
#include "mysql/TDirTransact.h"

namespace tabulix {
namespace {

using test::MonitorRecorder;
using test::Report;

const std::string kName = "tabulix_mysql_dirtransact";

class DirMySqlTransact : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::DirSession admin;
    admin.Exec("CREATE DATABASE IF NOT EXISTS " + kName);
    admin.Exec("CREATE TABLE IF NOT EXISTS " + kName + ".t (id INT PRIMARY KEY) ENGINE=InnoDB");
  }
  static void TearDownTestSuite() {
    test::DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS " + kName);
  }
  void SetUp() override {
    test::ApplyServer(connect_, kName);
    connect_.Connect();
    test::DirSession admin(kName);
    admin.Exec("DELETE FROM t");
  }
  int Rows() {
    test::DirSession other(kName);
    return std::stoi(other.Scalar("SELECT COUNT(*) FROM t"));
  }
  void Insert(TDirMySqlTransact& transact, int id) {
    TDirMySqlQuery query(&connect_, &transact);
    query.SetSql("INSERT INTO t VALUES (" + std::to_string(id) + ")");
    query.ExecuteCommand();
    ASSERT_EQ(query.Status(), qsCommandDone) << query.ErrorText();
  }

  TDirMySqlConnect connect_;
};

TEST(DirTransactBase, SupportsNothing) {
  TDirTransact transact;
  EXPECT_TRUE(transact.TransactSafe());
  EXPECT_EQ(transact.GetStatus(), stNone);
  EXPECT_EQ(transact.ErrorText(), "");  // no connection
  for (auto step :
       {&TDirTransact::Open, &TDirTransact::Close, &TDirTransact::StartTransaction,
        &TDirTransact::EndTransaction, &TDirTransact::Commit, &TDirTransact::Rollback}) {
    transact.SetStatus(stOk);
    (transact.*step)();
    EXPECT_EQ(transact.GetStatus(), stNotSupported);
  }
  TDirConnect connect;
  transact.SetConnect(&connect);
  EXPECT_EQ(transact.ErrorText(), "Not connected");
}

TEST_F(DirMySqlTransact, WithoutTransactSafeOnlyLoginAndLogoutAreReported) {
  TDirMySqlTransact transact(&connect_);
  EXPECT_FALSE(transact.TransactSafe());
  MonitorRecorder recorder;
  transact.Open();
  EXPECT_EQ(transact.GetStatus(), stOk);
  EXPECT_TRUE(transact.Active());
  EXPECT_NE(transact.Handle(), nullptr);
  EXPECT_EQ(transact.ErrorText(), "");
  transact.Commit();
  EXPECT_EQ(transact.GetStatus(), stOk);
  transact.Rollback();
  EXPECT_EQ(transact.GetStatus(), stOk);
  transact.Close();
  EXPECT_FALSE(transact.Active());
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"CONNECT " + kName, "OK."}, {"DISCONNECT " + kName, "OK."}}));
}

TEST_F(DirMySqlTransact, WithoutTransactSafeEveryStatementCommitsItself) {
  TDirMySqlTransact transact(&connect_);
  transact.Open();
  Insert(transact, 1);
  transact.Rollback();  // sends nothing
  EXPECT_EQ(Rows(), 1);
  transact.Close();
  EXPECT_EQ(Rows(), 1);
}

TEST_F(DirMySqlTransact, WithTransactSafeTheBracketsAreSentAndReported) {
  TDirMySqlTransact transact(&connect_);
  transact.SetTransactSafe(true);
  MonitorRecorder recorder;
  transact.Open();
  ASSERT_EQ(transact.GetStatus(), stOk);
  transact.Commit();
  EXPECT_EQ(transact.GetStatus(), stOk);
  transact.Rollback();
  EXPECT_EQ(transact.GetStatus(), stOk);
  transact.Close();
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"CONNECT " + kName, "OK."},
                                                  {"BEGIN", "OK."},
                                                  {"COMMIT", "OK."},
                                                  {"BEGIN", "OK."},
                                                  {"ROLLBACK", "OK."},
                                                  {"BEGIN", "OK."},
                                                  {"ROLLBACK", "OK."},
                                                  {"DISCONNECT " + kName, "OK."}}));
}

TEST_F(DirMySqlTransact, WithTransactSafeWorkIsKeptOnlyWhenCommitted) {
  TDirMySqlTransact transact(&connect_);
  transact.SetTransactSafe(true);
  transact.Open();
  Insert(transact, 1);
  EXPECT_EQ(Rows(), 0);  // not visible to others before the commit
  transact.Commit();
  EXPECT_EQ(Rows(), 1);
  Insert(transact, 2);
  transact.Rollback();
  EXPECT_EQ(Rows(), 1);
  Insert(transact, 3);
  transact.Close();  // ends the open transaction with ROLLBACK
  EXPECT_EQ(Rows(), 1);
}

TEST_F(DirMySqlTransact, DestroyingAnOpenTransactionRollsBackAndLogsOut) {
  {
    auto transact = std::make_unique<TDirMySqlTransact>(&connect_);
    transact->SetTransactSafe(true);
    transact->Open();
    Insert(*transact, 7);
    MonitorRecorder recorder;
    transact.reset();
    EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"ROLLBACK", "OK."}}));
  }
  EXPECT_EQ(Rows(), 0);
}

TEST_F(DirMySqlTransact, OpeningAnOpenTransactionLogsOutFirst) {
  TDirMySqlTransact transact(&connect_);
  transact.Open();
  MonitorRecorder recorder;
  transact.Open();
  EXPECT_TRUE(transact.Active());
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"DISCONNECT " + kName, "OK."}, {"CONNECT " + kName, "OK."}}));
  transact.Close();
}

TEST_F(DirMySqlTransact, CommitOfAClosedTransactionFails) {
  TDirMySqlTransact transact(&connect_);
  MonitorRecorder recorder;
  transact.Commit();
  EXPECT_EQ(transact.GetStatus(), stFail);
  transact.Rollback();
  EXPECT_EQ(transact.GetStatus(), stFail);
  transact.SetTransactSafe(true);
  transact.StartTransaction();  // no login: nothing to begin
  EXPECT_EQ(transact.GetStatus(), stFail);
  EXPECT_FALSE(transact.Active());
  EXPECT_TRUE(recorder.reports.empty());
}

TEST_F(DirMySqlTransact, WithoutAnActiveConnectionNothingIsSent) {
  MonitorRecorder recorder;
  TDirMySqlTransact orphan;
  orphan.Open();
  EXPECT_EQ(orphan.GetStatus(), stFail);
  EXPECT_FALSE(orphan.Active());
  connect_.Disconnect();
  TDirMySqlTransact transact(&connect_);
  transact.Open();
  EXPECT_EQ(transact.GetStatus(), stFail);
  EXPECT_FALSE(transact.Active());
  EXPECT_EQ(transact.Handle(), nullptr);
  EXPECT_TRUE(recorder.reports.empty());
}

struct LoginFault {
  const char* what;
  std::string port;
  std::string password;
  std::string database;
  std::string messagePart;  // of the client library's own message
};

class DirMySqlTransactLogin : public DirMySqlTransact,
                              public ::testing::WithParamInterface<LoginFault> {};

TEST_P(DirMySqlTransactLogin, FailedLoginIsReportedAndExplainedByTheLibrary) {
  const LoginFault& fault = GetParam();
  if (!fault.port.empty()) connect_.SetPort(fault.port);
  if (!fault.password.empty()) connect_.SetPassword(fault.password);
  if (!fault.database.empty()) connect_.SetDatabase(fault.database);
  TDirMySqlTransact transact(&connect_);
  MonitorRecorder recorder;
  transact.Open();
  EXPECT_EQ(transact.GetStatus(), stFail);
  EXPECT_FALSE(transact.Active());
  EXPECT_EQ(transact.LastError(), "Server connection error");
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"CONNECT " + connect_.Database(), "Server connection error"}}));
  const std::string message = transact.ErrorText();
  EXPECT_NE(message.find(fault.messagePart), std::string::npos) << message;
  EXPECT_EQ(message, transact.LastError());
  EXPECT_NE(transact.ErrorNumber(), 0u);
  // Closing the failed transaction reports nothing; the handle is freed.
  transact.Close();
  EXPECT_EQ(transact.Handle(), nullptr);
  EXPECT_TRUE(recorder.reports.empty());
  // The same object logs in once the settings are right.
  test::ApplyServer(connect_, kName);
  transact.Open();
  EXPECT_EQ(transact.GetStatus(), stOk) << transact.ErrorText();
  transact.Close();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DirMySqlTransactLogin,
    ::testing::Values(LoginFault{"ServerNotRunning", "1", "", "", "Can't connect"},
                      LoginFault{"WrongPassword", "", "wrong-password", "", "Access denied"},
                      LoginFault{"UnknownDatabase", "", "", "tabulix_no_such_db",
                                 "Unknown database"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(DirMySqlTransact, PortThatIsNoIntegerRaisesBeforeAnythingIsSent) {
  for (const std::string port : {"3306 ", "", " 3306", "+"}) {
    connect_.SetPort(port);
    TDirMySqlTransact transact(&connect_);
    MonitorRecorder recorder;
    try {
      transact.Open();
      ADD_FAILURE() << "no conversion error for port '" << port << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + port + "' ist kein gültiger Integerwert");
    }
    EXPECT_FALSE(transact.Active());
    EXPECT_EQ(transact.GetStatus(), stFail);
    EXPECT_EQ(transact.Handle(), nullptr);
    EXPECT_TRUE(recorder.reports.empty());
  }
}

}  // namespace
}  // namespace tabulix
