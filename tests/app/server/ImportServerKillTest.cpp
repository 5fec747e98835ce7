// An import whose server goes away in the middle of the copy: a private server that this test
// starts on a port of its own and stops after the fiftieth row, so the shared test server is
// never touched.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "OrdersTable.h"
#include "ServerSession.h"
#include "app/core/FileOpenDialog.h"
#include "app/core/ImportEngine.h"
#include "app/core/LogSink.h"
#include "app/core/MessageBoxes.h"
#include "framework/Exceptions.h"
#include "framework/LoginDialogService.h"
#include "mysql/TZMySqlDatabase.h"
#include "support/TestData.h"
#include "support/TestServer.h"

namespace tabulix::app {
namespace {

// A loopback port that nothing listens on now, chosen by the system.
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

class PrivateServer {
 public:
  PrivateServer() : dir_(test::TempDir() + "/import-killed-mariadb"), port_(FreePort()) {}
  ~PrivateServer() { Stop(); }
  bool Start() {
    const test::TestServer& s = test::Server();
    return Run("start " + dir_ + " " + std::to_string(port_) + " " + s.user + " " + s.password);
  }
  void Stop() { Run("stop " + dir_); }
  int Port() const { return port_; }

 private:
  static bool Run(const std::string& args) {
    const std::string command =
        test::SourceDir() + "/scripts/mariadb.sh " + args + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
  }
  std::string dir_;
  int port_;
};

// The front end of the run: the table to load, the test account at the login, and a log that
// stops the server once the fiftieth row is on it.
class KillingFrontEnd final : public LogSink,
                              public MessageBoxes,
                              public LoginDialogService,
                              public FileOpenDialog {
 public:
  explicit KillingFrontEnd(PrivateServer& server) : server_(server) {}
  void Clear() override {}
  void Add(std::string_view line) override {
    last = line;
    if (line.starts_with("SQL>INSERT")) ++inserts;
    if (inserts == 50 && line == "SQL>[OK.]" && !killed) {
      killed = true;
      server_.Stop();
    }
  }
  void ShowError(const std::string& message) override { ADD_FAILURE() << message; }
  bool Execute(std::string_view, std::string& user, std::string& password) override {
    user = test::Server().user;
    password = test::Server().password;
    return true;
  }
  std::optional<std::string> Execute(const std::string&) override { return file; }

  std::string file;
  std::string last;
  int inserts = 0;
  bool killed = false;

 private:
  PrivateServer& server_;
};

TEST(ImportServerKill, TheFailingRecordIsNamedAndTheRowsBeforeItStay) {
  PrivateServer server;
  ASSERT_NE(server.Port(), 0);
  ASSERT_TRUE(server.Start()) << "the private server did not start";
  std::vector<test::OrdersRow> rows;
  for (int i = 1; i <= 200; ++i) rows.push_back({i, "Name " + std::to_string(i), "memo"});
  KillingFrontEnd ui(server);
  ui.file = test::WriteOrdersTable(test::TempDir() + "/killed.db", rows);
  {
    ImportEngine engine({.log = &ui, .messages = &ui, .login = &ui});
    engine.ZMySqlDatabase1().SetPort(std::to_string(server.Port()));
    ASSERT_TRUE(engine.Load(ui, "", nullptr).has_value());
    try {
      engine.Import({"tabulix_killed", "orders", "127.0.0.1"});
      ADD_FAILURE() << "the import went on without its server";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.what()), "");
      EXPECT_NE(e.ErrorCode(), 0u) << e.what();
    }
    EXPECT_TRUE(ui.killed);
    EXPECT_EQ(engine.FailedRecord(), 51);
    EXPECT_EQ(engine.RecordsCopied(), 50);
    EXPECT_TRUE(ui.last.starts_with("SQL>[")) << ui.last;
    EXPECT_NE(ui.last, "SQL>[OK.]");
    // The connection stays as it was for the window; the engine's end closes it quietly.
    EXPECT_TRUE(engine.ZMySqlDatabase1().Connected());
  }
  ASSERT_TRUE(server.Start());
  test::ServerSession session(static_cast<unsigned>(server.Port()));
  EXPECT_EQ(session.Scalar("SELECT COUNT(*) FROM tabulix_killed.orders"), test::Cell("50"));
  EXPECT_EQ(session.Scalar("SELECT MAX(ID) FROM tabulix_killed.orders"), test::Cell("50"));
}

}  // namespace
}  // namespace tabulix::app
