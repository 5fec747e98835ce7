#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/FieldValue.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/MemoStore.h"
#include "source/dbase/TextDecoder.h"

namespace tabulix::source::dbase {

// Turns the bytes of one record into field values: text decoded to UTF-8, numbers, dates,
// memos fetched from the memo file, Visual FoxPro nulls applied. The _NullFlags column is
// used, not shown.
class RecordDecoder {
 public:
  RecordDecoder(std::vector<DbaseColumn> columns, TextDecoder& text, MemoStore& memos);

  // The shown columns, in field order.
  const std::vector<DbaseColumn>& Columns() const { return columns_; }
  // Field names as UTF-8, in the order of Columns().
  const std::vector<std::string>& Names() const { return names_; }

  // record: the whole record including the delete flag; recordNumber (1-based, in the file)
  // for messages.
  void Decode(std::string_view record, std::uint32_t recordNumber, std::vector<FieldValue>& values);

 private:
  FieldValue DecodeField(std::size_t index, std::string_view record, std::string_view nullFlags,
                         std::uint32_t recordNumber);
  // Every kind, with the null flags applied.
  [[gnu::noinline]] FieldValue DecodeAnyField(std::size_t index, std::string_view record,
                                              std::string_view nullFlags,
                                              std::uint32_t recordNumber);
  FieldValue Memo(std::size_t index, std::string_view pointer, std::uint32_t recordNumber);
  FieldValue Text(std::string_view bytes);

  std::vector<DbaseColumn> columns_;
  std::vector<std::string> names_;
  int nullFlagsOffset_ = -1;
  int nullFlagsLength_ = 0;
  TextDecoder& text_;
  MemoStore& memos_;
};

}  // namespace tabulix::source::dbase
