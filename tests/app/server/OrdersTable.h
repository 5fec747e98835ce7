#pragma once

// The orders table of the import's examples, written as a Paradox 5 table: ID auto-increment,
// Name alpha 20, Notes memo (short memos live in the record, so no .mb is needed).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "source/ParadoxTestTable.h"

namespace tabulix::test {

struct OrdersRow {
  std::int32_t id;
  std::optional<std::string> name;  // Windows-1252 bytes; nothing: null
  std::string notes;                // at most 30 bytes
};

// The rows of the examples: a quote, a CR/LF memo, a null name, a backslash, an umlaut, an
// empty memo.
inline std::vector<OrdersRow> ExampleOrders() {
  return {{1, "O'Neil", "first line\r\nsecond line"},
          {2, std::nullopt, "no name"},
          {3, "C:\\Daten\\M\xFCller", "back\\slash"},
          {4, "Empty memo", ""}};
}

inline constexpr const char* kOrdersDefinition =
    "create table if not exists orders(ID int not null auto_increment,Name char(20),"
    "Notes mediumtext, PRIMARY KEY (ID))";

// The status log of a complete import of ExampleOrders into database, table orders: the table
// definition, then two lines per step ("SQL>" and the statement, "SQL>[" and the result "]").
inline std::vector<std::string> ExampleOrdersLog(const std::string& database) {
  std::vector<std::string> log = {kOrdersDefinition};
  auto report = [&](const std::string& sql) {
    log.push_back("SQL>" + sql);
    log.push_back("SQL>[OK.]");
  };
  report("CONNECT mysql");
  report("create database if not exists " + database);
  report("DISCONNECT mysql");
  report("CONNECT " + database);
  report("drop table if exists orders");
  report(kOrdersDefinition);
  report("SHOW COLUMNS FROM orders");
  report("SHOW INDEX FROM orders");
  report("SELECT * FROM orders");
  report(
      "INSERT INTO orders (ID, Name, Notes) VALUES (1, 'O\\'Neil', 'first line\\r\\nsecond line')");
  report("INSERT INTO orders (ID, Name, Notes) VALUES (2, NULL, 'no name')");
  report(
      "INSERT INTO orders (ID, Name, Notes) VALUES (3, 'C:\\\\Daten\\\\M\xC3\xBCller', "
      "'back\\\\slash')");
  report("INSERT INTO orders (ID, Name, Notes) VALUES (4, 'Empty memo', '')");
  report("DISCONNECT " + database);
  return log;
}

inline std::string WriteOrdersTable(const std::string& path, const std::vector<OrdersRow>& rows) {
  using namespace paradox;
  ParadoxTestTable t({{0x16, 4, "ID"}, {0x01, 20, "Name"}, {0x0C, 40, "Notes"}});
  for (const OrdersRow& row : rows) {
    t.AddRecord(StoredInt(row.id, 4) + Alpha(row.name.value_or(""), 20) +
                BlobField(40, row.notes, 0, 0, static_cast<std::uint32_t>(row.notes.size())));
  }
  WriteFile(path, rows.empty() ? t.Header() : t.Bytes());
  return path;
}

}  // namespace tabulix::test
