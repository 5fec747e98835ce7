#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mysql/TDirQuery.h"
#include "mysql/internal/MySqlResult.h"

struct st_mysql;
struct st_mysql_res;

namespace tabulix {

class TDirMySqlTransact;

// The direct MySQL query: runs one statement on the connection handle of a direct transaction
// and gives access to its result. Values arrive as the server's text, in UTF-8 (the
// connection speaks utf8mb4; nothing is converted). Each statement is reported to the
// monitors with the text the caller gave. A statement counts as done only when all its
// results have come without error: a failure in a later result (a procedure's next
// statement, rows cut off by a time limit) fails it like a refusal at once. With StoreResult
// (the default) the whole result is fetched at Open, later results are read off, and any row
// can be reached; without it rows are streamed and only Next moves, later results are read
// off when the rows run out (a failure there ends the query with status qsIdle), and no
// other statement may run on the connection until Close.
class TDirMySqlQuery : public TDirQuery {
 public:
  TDirMySqlQuery(TDirConnect* connect, TDirTransact* transact);
  ~TDirMySqlQuery() override;

  // The result set (MYSQL_RES*), null when none is held.
  st_mysql_res* Handle() const { return result_.Get(); }
  // The current row (MYSQL_ROW): one pointer per column, null for SQL NULL; null without row.
  char** Row() const { return row_; }
  bool StoreResult() const { return storeResult_; }
  void SetStoreResult(bool value) { storeResult_ = value; }

  bool Eof() override;
  // The connection's last message, trimmed, after a failure; "" otherwise.
  std::string ErrorText() override;
  // The client library's number for the last failure (0 when there is none).
  unsigned ErrorNumber() override;
  // Sends Sql; a SELECT, SHOW or DESCRIBE gives its row count, anything else the affected
  // rows. Keeps no result.
  std::int32_t ExecuteCommand() override;
  // Sends Sql and keeps its result set, standing on the first row.
  void Open() override;
  void Close() override;
  void ShowDatabases(std::string_view pattern) override;
  void ShowTables(std::string_view pattern) override;
  void ShowColumns(std::string_view table, std::string_view pattern) override;
  void ShowIndexes(std::string_view table) override;

  void First() override;
  void Last() override;
  void Prior() override;
  void Next() override;
  void GoTo(std::int32_t row) override;

  std::int32_t FieldCount() override;
  std::int32_t RecordCount() override;
  std::string FieldName(int column) override;
  std::int32_t FieldSize(int column) override;
  std::int32_t FieldMaxSize(int column) override;
  std::int32_t FieldDecimals(int column) override;
  int FieldType(int column) override;
  TFieldType FieldDataType(int column) override;
  bool FieldIsNull(int column) override;
  std::string FieldValue(int column) override;
  const char* FieldBuffer(int column) override;
  // Backslash escapes for a quoted MySQL string (EscapeSqlString).
  std::string EscapeString(std::string_view text) override;

 private:
  // The direct transaction when it is a MySQL one, else null.
  TDirMySqlTransact* MySqlTransact() const;
  // The connection handle of the transaction, or null.
  st_mysql* Connection() const;
  // Sends Sql trimmed and with its blanks collapsed; false on failure.
  bool Send();
  // Frees the result and detaches from the transaction that reads it.
  void ReleaseResult() noexcept;
  // Positions a stored result on RecNo and fetches that row.
  void Reposition();
  void FetchRow();
  // At the end of a streamed result: reads off the statement's later results and stops
  // reading from the connection. False when the rows or a later result ended in an error.
  bool FinishStream();
  bool ValidColumn(int column);

  mysql_internal::MySqlResult result_;
  char** row_ = nullptr;
  bool storeResult_ = true;
  // The transaction the held result reads from; it closes this query before it logs out.
  TDirMySqlTransact* attachedTo_ = nullptr;
  // The statement whose streamed result is held, for reports after Sql has changed.
  std::string streamedSql_;
};

}  // namespace tabulix
