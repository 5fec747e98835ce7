#include "mysql/TDirQuery.h"

#include <algorithm>

#include "framework/AsciiCase.h"
#include "framework/NumberText.h"
#include "mysql/TDirTransact.h"
#include "mysql/internal/ShortText.h"

namespace tabulix {

TDirQuery::TDirQuery() = default;

TDirQuery::~TDirQuery() {
  if (active_) TDirQuery::Close();
}

bool TDirQuery::Bof() {
  return bof_;
}

bool TDirQuery::Eof() {
  return eof_;
}

std::string TDirQuery::ErrorText() {
  if (status_ == qsRowsReady || status_ == qsCommandDone || !transact_) return {};
  return transact_->ErrorText();
}

unsigned TDirQuery::ErrorNumber() {
  if (status_ == qsRowsReady || status_ == qsCommandDone || !transact_) return 0;
  return transact_->ErrorNumber();
}

std::int32_t TDirQuery::Execute(std::span<const tabulix::FieldValue> /*params*/) {
  return ExecuteCommand();
}

std::int32_t TDirQuery::ExecuteCommand() {
  if (active_) Close();
  status_ = qsIdle;
  affectedRows_ = 0;
  return 0;
}

void TDirQuery::Open() {
  if (active_) Close();
  affectedRows_ = 0;
  status_ = qsIdle;
}

void TDirQuery::Close() {
  fields_.Clear();
  params_.Clear();
  active_ = false;
  affectedRows_ = 0;
  bof_ = true;
  eof_ = true;
  recNo_ = 0;
  status_ = qsIdle;
}

void TDirQuery::ShowDatabases(std::string_view /*pattern*/) {
  if (active_) Close();
  status_ = qsIdle;
}

void TDirQuery::ShowTables(std::string_view /*pattern*/) {
  if (active_) Close();
  status_ = qsIdle;
}

void TDirQuery::ShowColumns(std::string_view /*table*/, std::string_view /*pattern*/) {
  if (active_) Close();
  status_ = qsIdle;
}

void TDirQuery::ShowIndexes(std::string_view /*table*/) {
  if (active_) Close();
  status_ = qsIdle;
}

void TDirQuery::First() {
  recNo_ = 0;
  bof_ = eof_ = RecordCount() < 1;
}

void TDirQuery::Last() {
  const std::int32_t count = RecordCount();
  recNo_ = count > 0 ? count - 1 : 0;
  bof_ = eof_ = count < 1;
}

void TDirQuery::Prior() {
  eof_ = false;
  if (recNo_ > 0) {
    --recNo_;
    bof_ = false;
  } else {
    bof_ = true;
  }
  if (RecordCount() <= 0) bof_ = eof_ = true;
}

void TDirQuery::Next() {
  const std::int32_t count = RecordCount();
  bof_ = false;
  if (recNo_ < count - 1) {
    ++recNo_;
    eof_ = false;
  } else {
    eof_ = true;
  }
  if (count < 1) bof_ = eof_ = true;
}

void TDirQuery::GoTo(std::int32_t row) {
  const std::int32_t count = RecordCount();
  recNo_ = std::max(std::min(row, count - 1), 0);
  bof_ = false;
  eof_ = recNo_ >= count;
}

std::int32_t TDirQuery::FieldCount() {
  return 0;
}

std::int32_t TDirQuery::RecordCount() {
  return 0;
}

std::string TDirQuery::FieldName(int /*column*/) {
  return {};
}

std::string TDirQuery::FieldAlias(int column) {
  const std::string name = FieldName(column);
  int earlier = 0;
  for (int i = 0; i < column; ++i) {
    if (FieldName(i) == name) ++earlier;
  }
  if (earlier == 0) return name;
  return mysql_internal::ShortText(name + "_" + IntToStr(earlier));
}

int TDirQuery::FieldIndex(std::string_view name) {
  const int count = FieldCount();
  if (count == 0) return -1;
  for (int i = 0; i < count; ++i) {
    if (EqualsIgnoreCase(FieldName(i), name)) return i;
  }
  const std::size_t underscore = name.rfind('_');
  if (underscore == std::string_view::npos) return -1;
  const std::string_view base = name.substr(0, underscore);
  const std::int64_t number = TryStrToInt(name.substr(underscore + 1, 10)).value_or(0);
  std::int64_t counter = number + 1;
  if (counter <= 1) return -1;
  for (int i = 0; i < count; ++i) {
    if (EqualsIgnoreCase(FieldName(i), base) && --counter == 0) return i;
  }
  return -1;
}

std::int32_t TDirQuery::FieldSize(int /*column*/) {
  return 0;
}

std::int32_t TDirQuery::FieldMaxSize(int /*column*/) {
  return 0;
}

std::int32_t TDirQuery::FieldDecimals(int /*column*/) {
  return 0;
}

int TDirQuery::FieldType(int /*column*/) {
  return 0;
}

TFieldType TDirQuery::FieldDataType(int /*column*/) {
  return ftUnknown;
}

bool TDirQuery::FieldIsNull(int /*column*/) {
  return true;
}

bool TDirQuery::FieldReadOnly(int /*column*/) {
  return false;
}

std::string TDirQuery::FieldValue(int /*column*/) {
  return {};
}

const char* TDirQuery::FieldBuffer(int /*column*/) {
  return nullptr;
}

std::string TDirQuery::EscapeString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out;
}

}  // namespace tabulix
