#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/FieldValue.h"
#include "source/ValueWarnings.h"
#include "source/dbase/DbaseColumn.h"
#include "source/dbase/MemoStore.h"
#include "source/dbase/TextDecoder.h"

namespace tabulix::source::dbase {

// Turns the bytes of one record into field values: text decoded to UTF-8, numbers, dates,
// memos fetched from the memo file, Visual FoxPro nulls applied. The _NullFlags column is
// used, not shown. Values that do not decode read as null and are noted in the warnings.
class RecordDecoder {
 public:
  struct Options {
    std::vector<std::string> binaryFields;  // character and memo fields read as raw bytes
    bool withoutMemos = false;              // a missing memo file gives null memos
  };

  // Raises tabulix::Exception naming the table when a binary field is not there or is no
  // character or memo field.
  RecordDecoder(std::vector<DbaseColumn> columns, TextDecoder& text, MemoStore& memos,
                ValueWarnings& warnings, const Options& options);

  // The shown columns, in field order.
  const std::vector<DbaseColumn>& Columns() const { return columns_; }
  // Field names as UTF-8, in the order of Columns().
  const std::vector<std::string>& Names() const { return names_; }

  // record: the whole record including the delete flag; recordNumber (1-based, in the file)
  // for messages.
  void Decode(std::string_view record, std::uint32_t recordNumber, std::vector<FieldValue>& values);

 private:
  // The common kinds without null flags; inlined into Decode, the loop over every value.
  [[gnu::always_inline]] inline FieldValue DecodeField(std::size_t index, std::string_view record,
                                                       std::string_view nullFlags,
                                                       std::uint32_t recordNumber);
  // Every kind, with the null flags applied.
  [[gnu::noinline]] FieldValue DecodeAnyField(std::size_t index, std::string_view record,
                                              std::string_view nullFlags,
                                              std::uint32_t recordNumber);
  FieldValue Memo(std::size_t index, std::string_view pointer, std::uint32_t recordNumber);
  FieldValue Text(std::size_t index, std::string_view bytes);
  // Text bytes as UTF-8, noting what the code page made of them.
  std::string Decoded(std::size_t index, std::string_view bytes);
  // The roads of values that did not decode: blank ones are null, the others are noted.
  [[gnu::noinline]] FieldValue Unparsed(std::size_t index, std::string_view bytes);
  [[gnu::noinline]] FieldValue Damaged(std::size_t index, ValueProblem problem,
                                       std::string_view stored);
  [[gnu::noinline]] void NoteText(std::size_t index, std::string_view bytes,
                                  const TextReport& report);
  void MarkBinary(const std::vector<std::string>& fields);

  std::vector<DbaseColumn> columns_;
  std::vector<std::string> names_;
  int nullFlagsOffset_ = -1;
  int nullFlagsLength_ = 0;
  bool withoutMemos_ = false;
  TextDecoder& text_;
  MemoStore& memos_;
  ValueWarnings& warnings_;
};

}  // namespace tabulix::source::dbase
