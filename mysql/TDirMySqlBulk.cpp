#include "mysql/TDirMySqlBulk.h"

#include <charconv>

#include "mysql/TDirMySqlTransact.h"
#include "mysql/internal/ClientApi.h"
#include "mysql/internal/LocalInfile.h"
#include "mysql/internal/MySqlHandle.h"
#include "mysql/internal/MySqlResult.h"
#include "mysql/internal/ShortText.h"

namespace tabulix {

using mysql_internal::Lib;
using mysql_internal::LocalInfileData;
using mysql_internal::MySqlHandle;
using mysql_internal::MySqlResult;

bool TDirMySqlBulk::Fail(bool connected) {
  affectedRows_ = 0;
  warningCount_ = 0;
  if (!connected) {
    errorText_ = "Not connected yet";
    errorNumber_ = 2006;  // CR_SERVER_GONE_ERROR
    return false;
  }
  st_mysql* handle = transact_.Handle();
  errorText_ = mysql_internal::TrimText(MySqlHandle::ErrorText(handle));
  errorNumber_ = MySqlHandle::ErrorNumber(handle);
  return false;
}

bool TDirMySqlBulk::Execute(std::string_view statement) {
  st_mysql* handle = transact_.Handle();
  if (!handle) return Fail(false);
  if (!MySqlHandle::Query(handle, statement)) return Fail(true);
  // Both belong to this statement; reading off a later result would replace them.
  const my_ulonglong affected = Lib().mysql_affected_rows(handle);
  const unsigned warnings = Lib().mysql_warning_count(handle);
  if (!MySqlHandle::DiscardResults(handle)) return Fail(true);
  affectedRows_ = affected == static_cast<my_ulonglong>(-1) ? 0 : affected;
  warningCount_ = warnings;
  errorText_.clear();
  errorNumber_ = 0;
  return true;
}

bool TDirMySqlBulk::LoadLocal(std::string_view statement, std::string_view rows) {
  st_mysql* handle = transact_.Handle();
  if (!handle) return Fail(false);
  LocalInfileData data{rows};
  mysql_internal::ServeLocalInfile(handle, &data);
  const bool ok = Execute(statement);
  mysql_internal::ServeLocalInfile(handle, nullptr);
  return ok;
}

bool TDirMySqlBulk::QueryRow(std::string_view statement,
                             std::vector<std::optional<std::string>>& row) {
  row.clear();
  st_mysql* handle = transact_.Handle();
  if (!handle) return Fail(false);
  if (!MySqlHandle::Query(handle, statement)) return Fail(true);
  MySqlResult result(Lib().mysql_store_result(handle), false);
  if (result) {
    const unsigned columns = Lib().mysql_num_fields(result.Get());
    if (MYSQL_ROW values = Lib().mysql_fetch_row(result.Get())) {
      const unsigned long* lengths = Lib().mysql_fetch_lengths(result.Get());
      for (unsigned i = 0; i < columns; ++i) {
        if (values[i]) {
          row.emplace_back(std::string(values[i], lengths[i]));
        } else {
          row.emplace_back(std::nullopt);
        }
      }
    }
  }
  if (Lib().mysql_errno(handle) != 0) return Fail(true);
  result.Reset();
  if (!MySqlHandle::DiscardResults(handle, true)) return Fail(true);
  affectedRows_ = 0;
  warningCount_ = 0;
  errorText_.clear();
  errorNumber_ = 0;
  return true;
}

std::vector<TServerCondition> TDirMySqlBulk::Conditions() {
  std::vector<TServerCondition> conditions;
  st_mysql* handle = transact_.Handle();
  if (!handle || !MySqlHandle::Query(handle, "SHOW WARNINGS")) return conditions;
  MySqlResult result(Lib().mysql_store_result(handle), false);
  if (result && Lib().mysql_num_fields(result.Get()) >= 3) {
    while (MYSQL_ROW values = Lib().mysql_fetch_row(result.Get())) {
      const unsigned long* lengths = Lib().mysql_fetch_lengths(result.Get());
      TServerCondition condition;
      if (values[0]) condition.level.assign(values[0], lengths[0]);
      if (values[1]) std::from_chars(values[1], values[1] + lengths[1], condition.code);
      if (values[2]) condition.message.assign(values[2], lengths[2]);
      conditions.push_back(std::move(condition));
    }
  }
  result.Reset();
  MySqlHandle::DiscardResults(handle, true);
  return conditions;
}

}  // namespace tabulix
