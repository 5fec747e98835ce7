// One whole round of the direct layer as a transaction component drives it, with and without
// transaction brackets: every report the monitors receive, in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"

namespace tabulix {
namespace {

using test::MonitorRecorder;
using test::Report;

const std::string kName = "tabulix_mysql_lifecycle";

class DirLifecycle : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    test::DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS " + kName);
  }
  void TearDown() override { SetUp(); }
};

TEST_P(DirLifecycle, EveryStepIsReportedInOrder) {
  const bool safe = GetParam();
  TDirMySqlConnect connect;
  test::ApplyServer(connect, kName);
  TDirMySqlTransact transact(&connect);
  transact.SetTransactSafe(safe);
  TDirMySqlQuery query(&connect, &transact);
  auto exec = [&](const std::string& sql) {
    query.SetSql(sql);
    query.ExecuteCommand();
    EXPECT_EQ(query.Status(), qsCommandDone) << sql << ": " << query.ErrorText();
  };

  MonitorRecorder recorder;
  connect.Connect();
  connect.CreateDatabase("");
  ASSERT_EQ(connect.Status(), stOk) << connect.ServerError();
  connect.Connect();
  transact.Open();
  ASSERT_EQ(transact.GetStatus(), stOk) << transact.ErrorText();
  exec("CREATE TABLE t (a INT) ENGINE=InnoDB");
  exec("INSERT INTO t VALUES (1)");
  transact.Commit();
  EXPECT_EQ(transact.GetStatus(), stOk);
  exec("INSERT INTO t VALUES (2)");
  transact.Rollback();
  EXPECT_EQ(transact.GetStatus(), stOk);
  exec("INSERT INTO t VALUES (3)");
  transact.Close();
  std::vector<Report> reports = recorder.Take();

  std::vector<Report> expected{{"CREATE DATABASE " + kName, "OK."}, {"CONNECT " + kName, "OK."}};
  if (safe) expected.push_back({"BEGIN", "OK."});
  expected.push_back({"CREATE TABLE t (a INT) ENGINE=InnoDB", "OK."});
  expected.push_back({"INSERT INTO t VALUES (1)", "OK."});
  if (safe) expected.insert(expected.end(), {{"COMMIT", "OK."}, {"BEGIN", "OK."}});
  expected.push_back({"INSERT INTO t VALUES (2)", "OK."});
  if (safe) expected.insert(expected.end(), {{"ROLLBACK", "OK."}, {"BEGIN", "OK."}});
  expected.push_back({"INSERT INTO t VALUES (3)", "OK."});
  if (safe) expected.push_back({"ROLLBACK", "OK."});
  expected.push_back({"DISCONNECT " + kName, "OK."});
  EXPECT_EQ(reports, expected);

  {
    test::DirSession check(kName);
    EXPECT_EQ(check.Scalar("SELECT GROUP_CONCAT(a ORDER BY a) FROM t"), safe ? "1" : "1,2,3");
  }
  recorder.Take();
  connect.DropDatabase();
  EXPECT_EQ(connect.Status(), stOk);
  EXPECT_FALSE(connect.Active());
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"DROP DATABASE " + kName, "OK."}}));
}

INSTANTIATE_TEST_SUITE_P(TransactSafe, DirLifecycle, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Safe" : "AutoCommit"; });

}  // namespace
}  // namespace tabulix
