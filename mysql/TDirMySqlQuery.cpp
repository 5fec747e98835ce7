#include "mysql/TDirMySqlQuery.h"

#include <algorithm>
#include <limits>

#include "framework/AsciiCase.h"
#include "mysql/MySqlTypeMapping.h"
#include "mysql/TDirConnect.h"
#include "mysql/TDirMySqlTransact.h"
#include "mysql/TZMonitorList.h"
#include "mysql/internal/ClientApi.h"
#include "mysql/internal/MySqlHandle.h"
#include "mysql/internal/ShortText.h"
#include "sql/SqlTokenText.h"
#include "sql/SqlValueText.h"

namespace tabulix {

using mysql_internal::Lib;
using mysql_internal::MySqlHandle;
using mysql_internal::MySqlResult;
using mysql_internal::ShortText;
using mysql_internal::TrimText;

namespace {

std::int32_t Low32(unsigned long long value) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Sizes as integers; a LONGBLOB's declared 4 GB would wrap to a negative size.
std::int32_t SizeOf(unsigned long value) {
  return static_cast<std::int32_t>(
      std::min<unsigned long>(value, std::numeric_limits<std::int32_t>::max()));
}

// The first word of a statement, upper-cased; leading blanks and line breaks are skipped.
std::string FirstWord(const std::string& sql) {
  std::string buffer = sql;
  std::string word;
  CutWord(buffer, " \t\n\r", word);
  return UpperCase(word);
}

// The LIKE clause of the SHOW requests; the pattern is escaped so that it stays one literal.
std::string LikeClause(std::string_view pattern) {
  if (pattern.empty()) return {};
  return " LIKE \"" + EscapeSqlString(ShortText(pattern)) + "\"";
}

}  // namespace

TDirMySqlQuery::TDirMySqlQuery(TDirConnect* connect, TDirTransact* transact) {
  SetConnect(connect);
  SetTransact(transact);
}

TDirMySqlQuery::~TDirMySqlQuery() {
  if (Active()) TDirMySqlQuery::Close();
  ReleaseResult();
}

TDirMySqlTransact* TDirMySqlQuery::MySqlTransact() const {
  return dynamic_cast<TDirMySqlTransact*>(Transact());
}

st_mysql* TDirMySqlQuery::Connection() const {
  TDirMySqlTransact* transact = MySqlTransact();
  return transact ? transact->Handle() : nullptr;
}

bool TDirMySqlQuery::Send() {
  return MySqlHandle::Query(Connection(), CollapseBlanks(TrimText(Sql())));
}

void TDirMySqlQuery::ReleaseResult() noexcept {
  const bool streamed = result_.Streamed() && static_cast<bool>(result_);
  result_.Reset();
  row_ = nullptr;
  if (attachedTo_) {
    // A streamed statement may have more results behind the rows just read off. A failure
    // there, or in those rows, is the statement's own: the monitors hear of it with the
    // statement it belongs to (Sql may hold the next statement by now).
    st_mysql* connection = attachedTo_->Handle();
    try {
      if (streamed && (MySqlHandle::ErrorNumber(connection) != 0 ||
                       !MySqlHandle::DiscardResults(connection, true))) {
        NotifyMonitors(streamedSql_, TrimText(MySqlHandle::ErrorText(connection)), true);
      }
    } catch (...) {
      // The binding is gone or the report found no memory; the result is gone either way.
    }
    attachedTo_->DetachQuery(this);
    attachedTo_ = nullptr;
  }
}

bool TDirMySqlQuery::Eof() {
  return storeResult_ ? EofFlag() : row_ == nullptr;
}

std::string TDirMySqlQuery::ErrorText() {
  const TDirQueryStatus status = Status();
  if (status != qsInitial && status != qsFailed && status != qsIdle) return {};
  if (!Connect() || !Transact()) return {};
  return TrimText(MySqlHandle::ErrorText(Connection()));
}

unsigned TDirMySqlQuery::ErrorNumber() {
  return ErrorText().empty() ? 0 : MySqlHandle::ErrorNumber(Connection());
}

std::int32_t TDirMySqlQuery::ExecuteCommand() {
  TDirQuery::ExecuteCommand();
  ReleaseResult();
  SetStatus(qsFailed);
  TDirConnect* connect = Connect();
  TDirTransact* transact = Transact();
  st_mysql* connection = Connection();
  if (!connect || !transact || !connect->Active() || !transact->Active() || !connection) {
    return 0;
  }
  if (Send()) {
    SetStatus(qsCommandDone);
    const mysql_internal::ClientApi& api = Lib();
    const std::string word = FirstWord(Sql());
    bool firstTaken = false;
    if (word == "SELECT" || word == "SHOW" || word == "DESCRIBE") {
      MySqlResult result(api.mysql_store_result(connection), false);
      firstTaken = true;
      if (result) {
        SetAffectedRows(Low32(api.mysql_num_rows(result.Get())));
      } else if (api.mysql_errno(connection) != 0) {
        // The rows did not arrive: the statement failed after all.
        SetStatus(qsFailed);
      } else {
        SetAffectedRows(Low32(api.mysql_affected_rows(connection)));
      }
    } else {
      SetAffectedRows(Low32(api.mysql_affected_rows(connection)));
    }
    // Whatever else the statement returned is read off, so the next one finds the
    // connection ready; an error on the way fails the statement like a refusal at once.
    if (Status() == qsCommandDone && !MySqlHandle::DiscardResults(connection, firstTaken)) {
      SetStatus(qsFailed);
    }
    if (Status() != qsCommandDone) SetAffectedRows(0);
  }
  NotifyMonitors(Sql(), ErrorText(), Status() != qsCommandDone);
  return AffectedRows();
}

void TDirMySqlQuery::Open() {
  TDirMySqlTransact* transact = MySqlTransact();
  if (!Transact() || !Transact()->Active()) return;
  TDirQuery::Open();
  ReleaseResult();
  SetActive(false);
  SetAffectedRows(0);
  st_mysql* connection = Connection();
  if (transact && connection && Send()) {
    const mysql_internal::ClientApi& api = Lib();
    st_mysql_res* handle =
        storeResult_ ? api.mysql_store_result(connection) : api.mysql_use_result(connection);
    if (handle) {
      result_ = MySqlResult(handle, !storeResult_);
      if (api.mysql_num_fields(handle) != 0) {
        row_ = api.mysql_fetch_row(handle);
        SetActive(true);
        SetStatus(qsRowsReady);
        bool complete = true;
        if (!storeResult_) {
          transact->AttachQuery(this);
          attachedTo_ = transact;
          streamedSql_ = Sql();
          // No first row: the stream is over already, or broke off at once.
          if (!row_) complete = FinishStream();
        } else {
          complete = MySqlHandle::DiscardResults(connection, true);
        }
        if (!complete) {
          // The rows were cut off or a later result (a procedure's) failed: so did the
          // statement, as if the server had refused it at once.
          ReleaseResult();
          SetActive(false);
          SetStatus(qsIdle);
        }
      } else {
        result_.Reset();
      }
    } else if (api.mysql_errno(connection) == 0) {
      MySqlHandle::DiscardResults(connection, true);
    }
  }
  First();
  NotifyMonitors(Sql(), ErrorText(), Status() != qsRowsReady);
}

void TDirMySqlQuery::Close() {
  TDirQuery::Close();
  ReleaseResult();
}

void TDirMySqlQuery::ShowDatabases(std::string_view pattern) {
  SetSql("SHOW DATABASES" + LikeClause(pattern));
  Open();
}

void TDirMySqlQuery::ShowTables(std::string_view pattern) {
  SetSql("SHOW TABLES" + LikeClause(pattern));
  Open();
}

void TDirMySqlQuery::ShowColumns(std::string_view table, std::string_view pattern) {
  SetSql("SHOW COLUMNS" + std::string(" FROM ") + std::string(table) + LikeClause(pattern));
  Open();
}

void TDirMySqlQuery::ShowIndexes(std::string_view table) {
  SetSql(ShortText("SHOW INDEX FROM " + std::string(table)));
  Open();
}

void TDirMySqlQuery::Reposition() {
  if (!storeResult_ || !result_) return;
  Lib().mysql_data_seek(result_.Get(), static_cast<unsigned long long>(std::max(RecNo(), 0)));
  row_ = Lib().mysql_fetch_row(result_.Get());
}

void TDirMySqlQuery::First() {
  TDirQuery::First();
  Reposition();
}

void TDirMySqlQuery::Last() {
  TDirQuery::Last();
  Reposition();
}

void TDirMySqlQuery::Prior() {
  TDirQuery::Prior();
  Reposition();
}

void TDirMySqlQuery::GoTo(std::int32_t row) {
  TDirQuery::GoTo(row);
  Reposition();
}

void TDirMySqlQuery::Next() {
  if (storeResult_) {
    TDirQuery::Next();
    FetchRow();
    return;
  }
  // A streamed result counts the rows read so far; the row number follows the rows fetched.
  SetBof(false);
  if (row_) {
    FetchRow();
    if (row_) SetRecNo(RecNo() + 1);
  }
  SetEof(row_ == nullptr);
}

void TDirMySqlQuery::FetchRow() {
  if (!result_) {
    row_ = nullptr;
    return;
  }
  row_ = Lib().mysql_fetch_row(result_.Get());
  if (!row_ && attachedTo_ && !FinishStream()) {
    // The rows read are not the whole answer: the statement failed. The owner sees it in the
    // status and the monitors hear of it; the columns stay readable until Close.
    SetActive(false);
    SetStatus(qsIdle);
    NotifyMonitors(streamedSql_, ErrorText(), true);
  }
}

bool TDirMySqlQuery::FinishStream() {
  // The statement's further results are read off at once, so that a failure among them is
  // known while the caller still looks at the status; the result then no longer reads from
  // the connection.
  st_mysql* connection = attachedTo_->Handle();
  const bool complete =
      MySqlHandle::ErrorNumber(connection) == 0 && MySqlHandle::DiscardResults(connection, true);
  attachedTo_->DetachQuery(this);
  attachedTo_ = nullptr;
  return complete;
}

bool TDirMySqlQuery::ValidColumn(int column) {
  return result_ && column >= 0 && column < FieldCount();
}

std::int32_t TDirMySqlQuery::FieldCount() {
  return result_ ? static_cast<std::int32_t>(Lib().mysql_num_fields(result_.Get())) : 0;
}

std::int32_t TDirMySqlQuery::RecordCount() {
  return result_ ? Low32(Lib().mysql_num_rows(result_.Get())) : 0;
}

namespace {

const MYSQL_FIELD* Descriptor(st_mysql_res* result, int column) {
  Lib().mysql_field_seek(result, static_cast<MYSQL_FIELD_OFFSET>(column));
  return Lib().mysql_fetch_field(result);
}

}  // namespace

std::string TDirMySqlQuery::FieldName(int column) {
  if (!ValidColumn(column)) return {};
  const MYSQL_FIELD* field = Descriptor(result_.Get(), column);
  return field && field->name ? ShortText(field->name) : std::string();
}

std::int32_t TDirMySqlQuery::FieldSize(int column) {
  if (!ValidColumn(column) || !row_) return 0;
  const unsigned long* lengths = Lib().mysql_fetch_lengths(result_.Get());
  return lengths ? SizeOf(lengths[column]) : 0;
}

std::int32_t TDirMySqlQuery::FieldMaxSize(int column) {
  if (!ValidColumn(column)) return 0;
  const MYSQL_FIELD* field = Descriptor(result_.Get(), column);
  return field ? SizeOf(std::max(field->max_length, field->length)) : 0;
}

std::int32_t TDirMySqlQuery::FieldDecimals(int column) {
  if (!ValidColumn(column)) return 0;
  const MYSQL_FIELD* field = Descriptor(result_.Get(), column);
  return field ? static_cast<std::int32_t>(field->decimals) : 0;
}

int TDirMySqlQuery::FieldType(int column) {
  if (!ValidColumn(column)) return 0;
  const MYSQL_FIELD* field = Descriptor(result_.Get(), column);
  return field ? static_cast<int>(field->type) & 0xFF : 0;
}

TFieldType TDirMySqlQuery::FieldDataType(int column) {
  if (!ValidColumn(column)) return ftUnknown;
  const MYSQL_FIELD* field = Descriptor(result_.Get(), column);
  return field ? MySqlFieldType(static_cast<int>(field->type) & 0xFF, field->flags) : ftUnknown;
}

bool TDirMySqlQuery::FieldIsNull(int column) {
  return FieldBuffer(column) == nullptr;
}

std::string TDirMySqlQuery::FieldValue(int column) {
  if (!row_ || !ValidColumn(column) || !row_[column]) return {};
  return std::string(row_[column], static_cast<std::size_t>(FieldSize(column)));
}

const char* TDirMySqlQuery::FieldBuffer(int column) {
  if (!row_ || !ValidColumn(column) || Eof() || Bof()) return nullptr;
  return row_[column];
}

std::string TDirMySqlQuery::EscapeString(std::string_view text) {
  return EscapeSqlString(text);
}

}  // namespace tabulix
