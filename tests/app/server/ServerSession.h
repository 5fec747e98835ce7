#pragma once

// Reads what an import left on the test server straight through the client library, beside
// the product's own layers, so a fault there cannot hide itself.
#include <gtest/gtest.h>
#include <mysql.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TestServer.h"

namespace tabulix::test {

// One value as the server sends it in text form; nothing for NULL.
using Cell = std::optional<std::string>;

struct QueryResult {
  std::vector<std::string> columns;
  std::vector<std::vector<Cell>> rows;
};

class ServerSession {
 public:
  // A login with the test account, on the test server or on another port of this machine.
  explicit ServerSession(unsigned port = Server().port) : handle_(mysql_init(nullptr)) {
    const TestServer& s = Server();
    mysql_options(handle_.get(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
    if (!mysql_real_connect(handle_.get(), s.host.c_str(), s.user.c_str(), s.password.c_str(),
                            nullptr, port, nullptr, 0)) {
      ADD_FAILURE() << "login failed: " << mysql_error(handle_.get());
    }
  }

  // Runs a statement; a refusal fails the calling test with the server's message.
  bool Exec(const std::string& sql) {
    if (mysql_query(handle_.get(), sql.c_str()) == 0) {
      if (MYSQL_RES* r = mysql_store_result(handle_.get())) mysql_free_result(r);
      return true;
    }
    ADD_FAILURE() << sql << ": " << mysql_error(handle_.get());
    return false;
  }

  QueryResult Query(const std::string& sql) {
    QueryResult result;
    if (mysql_query(handle_.get(), sql.c_str()) != 0) {
      ADD_FAILURE() << sql << ": " << mysql_error(handle_.get());
      return result;
    }
    std::unique_ptr<MYSQL_RES, decltype(&mysql_free_result)> r(mysql_store_result(handle_.get()),
                                                               &mysql_free_result);
    if (!r) return result;
    const unsigned n = mysql_num_fields(r.get());
    for (unsigned i = 0; i < n; ++i)
      result.columns.emplace_back(mysql_fetch_field_direct(r.get(), i)->name);
    while (MYSQL_ROW row = mysql_fetch_row(r.get())) {
      const unsigned long* lengths = mysql_fetch_lengths(r.get());
      std::vector<Cell>& cells = result.rows.emplace_back();
      for (unsigned i = 0; i < n; ++i) {
        cells.push_back(row[i] ? Cell(std::string(row[i], lengths[i])) : std::nullopt);
      }
    }
    return result;
  }

  // The first value of the first row, or nothing.
  Cell Scalar(const std::string& sql) {
    QueryResult r = Query(sql);
    return r.rows.empty() || r.rows[0].empty() ? std::nullopt : r.rows[0][0];
  }

 private:
  struct Closer {
    void operator()(MYSQL* m) const { mysql_close(m); }
  };
  std::unique_ptr<MYSQL, Closer> handle_;
};

}  // namespace tabulix::test
