#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "framework/FieldType.h"
#include "framework/FieldValue.h"
#include "framework/StringList.h"

namespace tabulix {

class TDirConnect;
class TDirTransact;

// State of a direct query.
enum TDirQueryStatus : std::uint8_t {
  qsInitial = 0,      // constructed, nothing run yet
  qsRowsReady = 1,    // Open produced a result set
  qsCommandDone = 2,  // ExecuteCommand ran its statement without error
  qsFailed = 3,       // ExecuteCommand failed or the connection was not usable
  qsIdle = 4,         // closed, or Open failed or returned no result set
};

// The direct query, server-independent base: the statement text, the state and the rules of
// row navigation. The base runs nothing; column operations give empty values. Raises nothing:
// failures leave a status and an error text.
class TDirQuery {
 public:
  TDirQuery();
  virtual ~TDirQuery();
  TDirQuery(const TDirQuery&) = delete;
  TDirQuery& operator=(const TDirQuery&) = delete;

  // Two lists that the owner may use; Close empties both.
  StringList& Fields() { return fields_; }
  StringList& Params() { return params_; }
  bool CursorFetch() const { return cursorFetch_; }
  void SetCursorFetch(bool value) { cursorFetch_ = value; }
  // Not owned; may be null.
  TDirConnect* Connect() const { return connect_; }
  void SetConnect(TDirConnect* connect) { connect_ = connect; }
  TDirTransact* Transact() const { return transact_; }
  void SetTransact(TDirTransact* transact) { transact_ = transact; }

  TDirQueryStatus Status() const { return status_; }
  void SetStatus(TDirQueryStatus value) { status_ = value; }
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // 0-based number of the current row.
  std::int32_t RecNo() const { return recNo_; }
  std::int32_t AffectedRows() const { return affectedRows_; }
  void SetAffectedRows(std::int32_t value) { affectedRows_ = value; }
  const std::string& Sql() const { return sql_; }
  void SetSql(std::string sql) { sql_ = std::move(sql); }

  virtual bool Bof();
  virtual bool Eof();
  // Empty while the status is qsRowsReady or qsCommandDone.
  virtual std::string ErrorText();
  // The server's number for the failure ErrorText describes; 0 when there is none.
  virtual unsigned ErrorNumber();
  // Runs ExecuteCommand; the parameter values are not used by the servers served here.
  virtual std::int32_t Execute(std::span<const tabulix::FieldValue> params);
  // Runs Sql without keeping a result; returns the affected-row count.
  virtual std::int32_t ExecuteCommand();
  // Runs Sql and keeps its result set.
  virtual void Open();
  // Frees the result and returns to qsIdle.
  virtual void Close();
  virtual void ShowDatabases(std::string_view pattern);
  virtual void ShowTables(std::string_view pattern);
  virtual void ShowColumns(std::string_view table, std::string_view pattern);
  virtual void ShowIndexes(std::string_view table);

  virtual void First();
  virtual void Last();
  virtual void Prior();
  virtual void Next();
  virtual void GoTo(std::int32_t row);

  virtual std::int32_t FieldCount();
  virtual std::int32_t RecordCount();
  virtual std::string FieldName(int column);
  // The column's name, made unique by "_" and the number of earlier columns of that name.
  virtual std::string FieldAlias(int column);
  // The column of that name or alias (letter case ignored), or -1.
  virtual int FieldIndex(std::string_view name);
  // Byte length of the current row's value.
  virtual std::int32_t FieldSize(int column);
  virtual std::int32_t FieldMaxSize(int column);
  virtual std::int32_t FieldDecimals(int column);
  // The client library's type code of the column.
  virtual int FieldType(int column);
  virtual TFieldType FieldDataType(int column);
  virtual bool FieldIsNull(int column);
  virtual bool FieldReadOnly(int column);
  // The current row's value as bytes (zero bytes kept); empty for NULL.
  virtual std::string FieldValue(int column);
  // The current row's value in place, or null (NULL, no current row, Bof or Eof).
  virtual const char* FieldBuffer(int column);
  // The text for use inside a quoted string literal.
  virtual std::string EscapeString(std::string_view text);

 protected:
  void SetRecNo(std::int32_t value) { recNo_ = value; }
  void SetBof(bool value) { bof_ = value; }
  void SetEof(bool value) { eof_ = value; }
  bool BofFlag() const { return bof_; }
  bool EofFlag() const { return eof_; }

 private:
  StringList fields_;
  StringList params_;
  bool cursorFetch_ = false;
  TDirConnect* connect_ = nullptr;
  TDirTransact* transact_ = nullptr;
  TDirQueryStatus status_ = qsInitial;
  bool active_ = false;
  std::int32_t recNo_ = 0;
  std::int32_t affectedRows_ = 0;
  bool bof_ = true;
  bool eof_ = true;
  std::string sql_;
};

}  // namespace tabulix
