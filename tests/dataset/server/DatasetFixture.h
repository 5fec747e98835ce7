#pragma once

// The table dataset against the private test server: components set up for the suite's own
// database, a monitor that keeps every statement, and a client-library connection that reads
// what the server stored, byte for byte, past every layer of the product.
#include <gtest/gtest.h>
#include <mysql.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dataset/ZMySqlQuery.h"
#include "mysql/DatabaseComponentFixture.h"

namespace tabulix::test {

inline constexpr const char* kDatasetDatabase = "tabulix_dataset_server";

using Cell = std::optional<std::string>;  // nullopt for SQL NULL
using Row = std::vector<Cell>;

// A client-library connection of its own, in utf8mb4 like the product's.
class RawClient {
 public:
  RawClient() : mysql_(mysql_init(nullptr)) {
    const auto& s = Server();
    mysql_options(mysql_, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!mysql_real_connect(mysql_, s.host.c_str(), s.user.c_str(), s.password.c_str(),
                            kDatasetDatabase, s.port, nullptr, 0)) {
      ADD_FAILURE() << "login failed: " << mysql_error(mysql_);
    }
  }
  ~RawClient() { mysql_close(mysql_); }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  void Exec(const std::string& sql) {
    if (mysql_real_query(mysql_, sql.data(), sql.size()) != 0) {
      ADD_FAILURE() << sql << ": " << mysql_error(mysql_);
      return;
    }
    if (MYSQL_RES* result = mysql_store_result(mysql_)) mysql_free_result(result);
  }
  // Every row of a query, each cell as the bytes the server sent.
  std::vector<Row> Rows(const std::string& sql) {
    std::vector<Row> rows;
    if (mysql_real_query(mysql_, sql.data(), sql.size()) != 0) {
      ADD_FAILURE() << sql << ": " << mysql_error(mysql_);
      return rows;
    }
    MYSQL_RES* result = mysql_store_result(mysql_);
    if (!result) return rows;
    const unsigned columns = mysql_num_fields(result);
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
      const unsigned long* lengths = mysql_fetch_lengths(result);
      Row& out = rows.emplace_back();
      for (unsigned c = 0; c < columns; ++c) {
        out.push_back(row[c] ? Cell(std::string(row[c], lengths[c])) : std::nullopt);
      }
    }
    mysql_free_result(result);
    return rows;
  }
  std::string Value(const std::string& sql) {
    auto rows = Rows(sql);
    return rows.empty() || rows[0].empty() || !rows[0][0] ? std::string() : *rows[0][0];
  }

 private:
  MYSQL* mysql_;
};

class DatasetServerTest : public ComponentTest {
 protected:
  static void SetUpTestSuite() { CreateSuiteDatabase(kDatasetDatabase); }

  void SetUp() override {
    ComponentTest::SetUp();
    SetUpDatabase(database, kDatasetDatabase);
    transaction.SetDatabase(&database);
    table.SetDatabase(&database);
    database.SetConnected(true);
  }

  // Replaces table t (or the given one) outside the monitor's view.
  void Create(const std::string& columns, const std::string& name = "t") {
    raw.Exec("DROP TABLE IF EXISTS `" + name + "`");
    raw.Exec("CREATE TABLE `" + name + "` (" + columns + ") CHARACTER SET utf8mb4");
  }
  void OpenTable(const std::string& name = "t") {
    table.SetTableName(name);
    table.Open();
  }
  // The statements the server was sent since the last call (logins excluded), with results.
  Reports Sent() {
    Reports sent;
    for (Report& r : std::exchange(monitor.reports, {})) {
      if (r.first.rfind("CONNECT", 0) != 0 && r.first.rfind("DISCONNECT", 0) != 0) {
        sent.push_back(std::move(r));
      }
    }
    return sent;
  }
  std::vector<std::string> SentSql() {
    std::vector<std::string> sql;
    for (const Report& r : Sent()) sql.push_back(r.first);
    return sql;
  }

  RawClient raw;
  TZMySqlDatabase database;
  TZMySqlTransact transaction;
  CollectingMonitor monitor{transaction};
  TZMySqlTable table;
};

}  // namespace tabulix::test
