#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/FieldType.h"
#include "framework/Utf8Text.h"

namespace tabulix {

// The dataset framework's field object. Descriptions only refer to it and compare it by
// identity; they never look inside.
class TField;

// Texts kept in descriptions are short strings of a fixed maximum number of characters; longer
// texts are cut, never inside a UTF-8 sequence (texts are UTF-8 on the server connection).
inline std::string ShortString(std::string_view text, std::size_t maxLength) {
  return std::string(Utf8Prefix(text, maxLength, 4 * maxLength));
}

// What is known of one column of a statement's result: where it comes from, the name it has
// in the dataset, its server type and, once the record layout is built, its slot.
struct TFieldDesc {
  // Characters; names as long as the server allows them.
  static constexpr std::size_t kMaxNameLength = 64;
  static constexpr std::size_t kMaxTextLength = 255;

  std::string TableName{};  // at most 64 characters
  std::string FieldName{};  // at most 64
  std::string Alias{};      // the field's name in the dataset, at most 64
  std::string TypeName{};   // the server's column type text, at most 255
  std::int32_t Size = 0;    // characters for strings
  std::int32_t Decimals = 0;
  std::uint8_t AutoIncKind = 0;  // 0 none, 1 auto-increment (3 counts as well)
  bool Nullable = false;
  std::string DefaultValue{};  // an SQL literal or expression, at most 255
  std::uint8_t BlobKind = 0;   // 0: the value is held in the record
  bool ReadOnly = false;
  TField* Field = nullptr;    // none until the record layout is built
  std::int32_t DataSize = 0;  // bytes of the value in the slot
  std::int32_t Offset = 0;    // of the slot from the start of the record's data area
  TFieldType FieldType = ftUnknown;
  std::int32_t ColumnIndex = -1;  // field number - 1; negative without a result column

  bool IsAutoInc() const { return AutoIncKind == 1 || AutoIncKind == 3; }
};

// The ordered field descriptions of a dataset. References into the list stay valid until the
// next Add or Clear.
class TSqlFields {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // EListError when out of range.
  TFieldDesc& operator[](int index) {
    if (index < 0 || index >= Count()) IndexError(index);
    return items_[static_cast<std::size_t>(index)];
  }
  const TFieldDesc& operator[](int index) const {
    if (index < 0 || index >= Count()) IndexError(index);
    return items_[static_cast<std::size_t>(index)];
  }

  // Appends a description from values: texts are cut to their maximum lengths and the
  // default of an auto-increment column is dropped.
  TFieldDesc& Add(TFieldDesc values);
  // Appends an unchanged copy.
  TFieldDesc& AddCopy(const TFieldDesc& desc);
  // Appends the description of a field that no column describes: no table, field name and
  // alias the field's name, nullable unless required, no default.
  TFieldDesc& AddFromField(TField* field, std::string_view fieldName, TFieldType fieldType,
                           int size, bool required, bool readOnly);
  TFieldDesc& AddFromField(TField& field);

  // Position of the description, ignoring letter case; -1 when absent. An empty table name
  // matches every table.
  int FindByName(std::string_view tableName, std::string_view fieldName) const;
  int FindByAlias(std::string_view alias) const;
  int FindByField(const TField* field) const;

  void Clear() { items_.clear(); }
  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  [[noreturn]] static void IndexError(int index);

  std::vector<TFieldDesc> items_;
};

}  // namespace tabulix
