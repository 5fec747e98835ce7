#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DirSession.h"
#include "MonitorRecorder.h"
#include "framework/Exceptions.h"
#include "mysql/TDirConnect.h"
#include "mysql/TDirMySqlConnect.h"

namespace tabulix {
namespace {

using test::MonitorRecorder;
using test::Report;

// A name no other suite uses; dropped before and after each test.
const std::string kName = "tabulix_mysql_dirconnect";

class DirMySqlConnect : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ApplyServer(connect_, kName);
    Cleanup();
  }
  void TearDown() override { Cleanup(); }
  void Cleanup() {
    test::DirSession admin;
    admin.Exec("DROP DATABASE IF EXISTS `" + kName + "`");
    admin.Exec("DROP DATABASE IF EXISTS `tabulix odd``name`");
  }
  bool Exists(const std::string& name) {
    test::DirSession admin;
    return admin.Scalar("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE SCHEMA_NAME = '" +
                        name + "'") == "1";
  }

  TDirMySqlConnect connect_;
};

TEST(DirConnectBase, SupportsNothing) {
  TDirConnect connect;
  EXPECT_EQ(connect.Status(), stNone);
  EXPECT_EQ(connect.ErrorText(), "Not connected");
  connect.SetActive(true);
  connect.Connect();
  EXPECT_FALSE(connect.Active());
  EXPECT_EQ(connect.Status(), stNotSupported);
  connect.CreateDatabase("");
  EXPECT_EQ(connect.Status(), stNotSupported);
  connect.DropDatabase();
  EXPECT_EQ(connect.Status(), stNotSupported);
}

TEST(DirConnectBase, SettingsAreShortTexts) {
  TDirMySqlConnect connect;
  EXPECT_EQ(connect.Port(), "3306");
  connect.SetHost(std::string(300, 'h'));
  connect.SetPassword(std::string(256, 'p'));
  EXPECT_EQ(connect.Host().size(), 255u);
  EXPECT_EQ(connect.Password().size(), 255u);
}

TEST_F(DirMySqlConnect, CreateAndDropAreReportedWithOk) {
  MonitorRecorder recorder;
  connect_.Connect();
  ASSERT_TRUE(connect_.Active());
  connect_.CreateDatabase("ignored parameters");
  EXPECT_EQ(connect_.Status(), stOk);
  EXPECT_FALSE(connect_.Active());  // the owner reconnects
  EXPECT_EQ(connect_.ErrorText(), "");
  EXPECT_TRUE(Exists(kName));
  recorder.Take();  // the reports of the check above

  connect_.DropDatabase();
  EXPECT_EQ(connect_.Status(), stOk);
  EXPECT_FALSE(Exists(kName));
  std::vector<Report> reports = recorder.Take();
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.front(), (Report{"DROP DATABASE " + kName, "OK."}));
}

TEST_F(DirMySqlConnect, CreateReportsExactlyOneStep) {
  MonitorRecorder recorder;
  connect_.CreateDatabase("");
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"CREATE DATABASE " + kName, "OK."}}));
}

TEST_F(DirMySqlConnect, CreatingAnExistingDatabaseFails) {
  connect_.CreateDatabase("");
  ASSERT_EQ(connect_.Status(), stOk);
  MonitorRecorder recorder;
  connect_.CreateDatabase("");
  EXPECT_EQ(connect_.Status(), stFail);
  EXPECT_EQ(connect_.ErrorText(), "Database creating error");
  EXPECT_EQ(connect_.LastError(), "Database creating error");
  EXPECT_EQ(connect_.ServerErrorNumber(), 1007u);  // database exists
  EXPECT_NE(connect_.ServerError().find(kName), std::string::npos) << connect_.ServerError();
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"CREATE DATABASE " + kName, "Database creating error"}}));
}

TEST_F(DirMySqlConnect, DroppingAMissingDatabaseFails) {
  MonitorRecorder recorder;
  connect_.DropDatabase();
  EXPECT_EQ(connect_.Status(), stFail);
  EXPECT_EQ(connect_.ErrorText(), "Server connection error");
  EXPECT_EQ(recorder.Take(), (std::vector<Report>{{"DROP DATABASE " + kName, "Fail."}}));
}

TEST_F(DirMySqlConnect, NamesAreQuotedForTheServerButReportedAsGiven) {
  const std::string odd = "tabulix odd`name";
  connect_.SetDatabase(odd);
  MonitorRecorder recorder;
  connect_.CreateDatabase("");
  EXPECT_EQ(connect_.Status(), stOk) << connect_.ServerError();
  EXPECT_TRUE(Exists("tabulix odd`name"));
  recorder.Take();
  connect_.DropDatabase();
  EXPECT_EQ(connect_.Status(), stOk) << connect_.ServerError();
  EXPECT_EQ(recorder.Take().front(), (Report{"DROP DATABASE " + odd, "OK."}));
}

TEST_F(DirMySqlConnect, UnreachableServerIsAConnectionError) {
  connect_.SetPort("1");
  MonitorRecorder recorder;
  connect_.CreateDatabase("");
  EXPECT_EQ(connect_.Status(), stFail);
  EXPECT_EQ(connect_.ErrorText(), "Server connection error");
  EXPECT_NE(connect_.ServerErrorNumber(), 0u);
  connect_.DropDatabase();
  EXPECT_EQ(connect_.ErrorText(), "Server connection error");
  EXPECT_EQ(recorder.Take(),
            (std::vector<Report>{{"CREATE DATABASE " + kName, "Server connection error"},
                                 {"DROP DATABASE " + kName, "Fail."}}));
}

TEST_F(DirMySqlConnect, WrongPasswordIsAConnectionError) {
  connect_.SetPassword("not-the-password");
  connect_.CreateDatabase("");
  EXPECT_EQ(connect_.Status(), stFail);
  EXPECT_EQ(connect_.ErrorText(), "Server connection error");
  EXPECT_EQ(connect_.ServerErrorNumber(), 1045u);  // access denied
  EXPECT_FALSE(Exists(kName));
}

TEST_F(DirMySqlConnect, PortThatIsNoIntegerRaisesBeforeAnythingIsSent) {
  for (const std::string port : {"3306 ", "", "33o6"}) {
    connect_.SetPort(port);
    MonitorRecorder recorder;
    try {
      connect_.CreateDatabase("");
      ADD_FAILURE() << "no conversion error for port '" << port << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + port + "' ist kein gültiger Integerwert");
    }
    EXPECT_EQ(connect_.Status(), stFail);
    EXPECT_THROW(connect_.DropDatabase(), EConvertError);
    EXPECT_EQ(connect_.Status(), stFail);
    EXPECT_EQ(connect_.ErrorText(), "Server connection error");
    EXPECT_TRUE(recorder.reports.empty());
  }
  EXPECT_FALSE(Exists(kName));
}

}  // namespace
}  // namespace tabulix
