// A private server that this test starts and kills on a port of its own, so that the shared
// test server is never touched.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"
#include "support/TestData.h"

namespace tabulix {
namespace {

using test::MonitorRecorder;
using test::Report;

// A loopback port that nothing listens on now, chosen by the system: several checkouts may run
// this test at the same time.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

class ServerKill : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = test::TempDir() + "/killed-mariadb";
    port_ = FreePort();
    ASSERT_NE(port_, 0);
  }
  void SetUp() override { ASSERT_TRUE(Start()) << "the private server did not start"; }
  void TearDown() override { Stop(); }

  static bool Run(const std::string& args) {
    const std::string command =
        test::SourceDir() + "/scripts/mariadb.sh " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }
  static bool Start() {
    const test::TestServer& s = test::Server();
    return Run("start " + dir_ + " " + std::to_string(port_) + " " + s.user + " " + s.password);
  }
  static void Stop() { Run("stop " + dir_); }

  void Settings(TDirConnect& connect) {
    test::ApplyServer(connect, "");
    connect.SetPort(std::to_string(port_));
  }

  static std::string dir_;
  static int port_;
};

std::string ServerKill::dir_;
int ServerKill::port_ = 0;

TEST_F(ServerKill, StatementAfterTheServerDiedFailsAndANewLoginWorksLater) {
  TDirMySqlConnect connect;
  Settings(connect);
  connect.Connect();
  TDirMySqlTransact transact(&connect);
  TDirMySqlQuery query(&connect, &transact);
  transact.Open();
  ASSERT_EQ(transact.GetStatus(), stOk) << transact.ErrorText();
  query.SetSql("SELECT 1");
  EXPECT_EQ(query.ExecuteCommand(), 1);

  Stop();
  MonitorRecorder recorder;
  query.SetSql("SELECT 2");
  EXPECT_EQ(query.ExecuteCommand(), 0);
  EXPECT_EQ(query.Status(), qsFailed);
  const std::string message = query.ErrorText();
  EXPECT_FALSE(message.empty());
  EXPECT_NE(query.ErrorNumber(), 0u);
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"SELECT 2", message}}));

  // Logging out of the dead connection is quiet and clean.
  transact.Close();
  EXPECT_FALSE(transact.Active());
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"DISCONNECT ", "OK."}}));

  // While the server is down a login fails with the library's message.
  transact.Open();
  EXPECT_FALSE(transact.Active());
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"CONNECT ", "Server connection error"}}));
  EXPECT_NE(transact.ErrorText().find("Can't connect"), std::string::npos) << transact.ErrorText();

  ASSERT_TRUE(Start());
  transact.Open();
  ASSERT_EQ(transact.GetStatus(), stOk) << transact.ErrorText();
  query.SetSql("SELECT 3");
  EXPECT_EQ(query.ExecuteCommand(), 1);
  EXPECT_EQ(query.Status(), qsCommandDone);
  transact.Close();
}

TEST_F(ServerKill, StreamBrokenOffIsReportedNotTakenForTheEnd) {
  TDirMySqlConnect connect;
  Settings(connect);
  connect.Connect();
  TDirMySqlTransact transact(&connect);
  TDirMySqlQuery query(&connect, &transact);
  transact.Open();
  ASSERT_EQ(transact.GetStatus(), stOk) << transact.ErrorText();
  query.SetStoreResult(false);
  query.SetSql("SELECT seq, REPEAT('x', 200) FROM mysql.seq_1_to_1000000");
  query.Open();
  ASSERT_EQ(query.Status(), qsRowsReady) << query.ErrorText();
  MonitorRecorder recorder;
  Stop();
  int rows = 0;
  while (!query.Eof()) {
    ++rows;
    query.Next();
  }
  EXPECT_LT(rows, 1000000);
  EXPECT_EQ(query.Status(), qsIdle);
  const std::string message = query.ErrorText();
  EXPECT_FALSE(message.empty());
  const std::vector<Report> reports = recorder.Take();
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], (Report{query.Sql(), message}));
  query.Close();
  transact.Close();
}

}  // namespace
}  // namespace tabulix
