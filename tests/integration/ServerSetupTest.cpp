// Proves the private test server that the test command starts: a login over TCP and over the
// socket with the client library, a statement, and the utf8mb4 round trip of a German text.
#include <gtest/gtest.h>
#include <mysql.h>

#include <memory>
#include <string>

#include "support/TestServer.h"

namespace {

using tabulix::test::Server;

struct MysqlCloser {
  void operator()(MYSQL* m) const { mysql_close(m); }
};
struct ResultFreer {
  void operator()(MYSQL_RES* r) const { mysql_free_result(r); }
};
using MysqlPtr = std::unique_ptr<MYSQL, MysqlCloser>;
using ResultPtr = std::unique_ptr<MYSQL_RES, ResultFreer>;

MysqlPtr Login(bool viaSocket) {
  const auto& s = Server();
  MysqlPtr m(mysql_init(nullptr));
  mysql_options(m.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
  const char* host = viaSocket ? "localhost" : s.host.c_str();
  if (!mysql_real_connect(m.get(), host, s.user.c_str(), s.password.c_str(), nullptr,
                          viaSocket ? 0 : s.port, viaSocket ? s.socket.c_str() : nullptr, 0)) {
    ADD_FAILURE() << "login failed: " << mysql_error(m.get());
    return nullptr;
  }
  return m;
}

std::string ScalarQuery(MYSQL* m, const std::string& sql) {
  if (mysql_query(m, sql.c_str()) != 0) {
    ADD_FAILURE() << sql << ": " << mysql_error(m);
    return {};
  }
  ResultPtr r(mysql_store_result(m));
  if (!r) return {};
  MYSQL_ROW row = mysql_fetch_row(r.get());
  unsigned long* lengths = mysql_fetch_lengths(r.get());
  return row && row[0] ? std::string(row[0], lengths[0]) : std::string();
}

TEST(TestServer, LoginOverTcpAndSocketRunsStatements) {
  auto tcp = Login(false);
  ASSERT_TRUE(tcp);
  EXPECT_EQ(ScalarQuery(tcp.get(), "SELECT 6*7"), "42");
  EXPECT_EQ(ScalarQuery(tcp.get(), "SELECT LEFT(VERSION(), 5)"), "10.11");
  auto sock = Login(true);
  ASSERT_TRUE(sock);
  EXPECT_EQ(ScalarQuery(sock.get(), "SELECT @@character_set_client"), "utf8mb4");
}

TEST(TestServer, Utf8TextSurvivesATableRoundTrip) {
  auto m = Login(false);
  ASSERT_TRUE(m);
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e aus M\xC3\xBCnchen";  // Grüße aus München
  ASSERT_EQ(mysql_query(m.get(), "CREATE DATABASE IF NOT EXISTS tabulix_setup_test"), 0)
      << mysql_error(m.get());
  ASSERT_EQ(mysql_query(m.get(),
                        "CREATE OR REPLACE TABLE tabulix_setup_test.t (s VARCHAR(40)) "
                        "CHARACTER SET utf8mb4"),
            0)
      << mysql_error(m.get());
  ASSERT_EQ(
      mysql_query(m.get(), ("INSERT INTO tabulix_setup_test.t VALUES ('" + text + "')").c_str()), 0)
      << mysql_error(m.get());
  EXPECT_EQ(ScalarQuery(m.get(), "SELECT s FROM tabulix_setup_test.t"), text);
  EXPECT_EQ(ScalarQuery(m.get(), "SELECT CHAR_LENGTH(s) FROM tabulix_setup_test.t"), "17");
  EXPECT_EQ(mysql_query(m.get(), "DROP DATABASE tabulix_setup_test"), 0) << mysql_error(m.get());
}

}  // namespace
