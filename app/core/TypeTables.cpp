#include "app/core/TypeTables.h"

#include <array>

namespace tabulix::app {

namespace {

struct TypeRow {
  TFieldType type;
  std::string_view name;
  std::string_view mySqlType;  // "char" is completed with the length
};

// One row per field type, by ordinal. Floating values keep their precision as double, money
// and BCD values their four decimals, times and date-times their milliseconds; binary types
// that the readers deliver get a blob column.
constexpr std::array<TypeRow, 30> kTypes = {{
    {ftUnknown, "unknown", ""},
    {ftString, "char", "char"},
    {ftSmallint, "16Bit-Int", "smallint"},
    {ftInteger, "32Bit-Int", "int"},
    {ftWord, "word", "smallint unsigned"},
    {ftBoolean, "bool", "bool"},
    {ftFloat, "float", "double"},
    {ftCurrency, "currency", "decimal(19,4)"},
    {ftBCD, "bcd", "decimal(32,4)"},
    {ftDate, "date", "date"},
    {ftTime, "time", "time(3)"},
    {ftDateTime, "datetime", "datetime(3)"},
    {ftBytes, "bytes", "blob"},
    {ftVarBytes, "", ""},
    {ftAutoInc, "autoincr", "int not null auto_increment"},
    {ftBlob, "blob", "longblob"},
    {ftMemo, "memo", "mediumtext"},
    {ftGraphic, "graphic", "longblob"},
    {ftFmtMemo, "fmtmemo", "longblob"},
    {ftParadoxOle, "ole", "longblob"},
    {ftDBaseOle, "ole", "longblob"},
    {ftTypedBinary, "typedbinary", "longblob"},
    {ftCursor, "", ""},
    {ftFixedChar, "", ""},
    {ftWideString, "", ""},
    {ftLargeint, "64Bit-Int", "bigint"},
    {ftADT, "", ""},
    {ftArray, "", ""},
    {ftReference, "", ""},
    {ftDataSet, "", ""},
}};

constexpr bool OrdinalsMatch() {
  for (std::size_t i = 0; i < kTypes.size(); ++i) {
    if (static_cast<std::size_t>(kTypes[i].type) != i) return false;
  }
  return true;
}
static_assert(OrdinalsMatch(), "one row per field type, in ordinal order");

}  // namespace

std::string_view SourceTypeName(TFieldType type) {
  auto ordinal = static_cast<std::size_t>(type);
  return ordinal < kTypes.size() ? kTypes[ordinal].name : std::string_view();
}

std::string MySqlTypeForTypeName(std::string_view typeName, std::string_view length) {
  if (typeName.empty()) return {};
  for (const TypeRow& row : kTypes) {
    if (row.name != typeName) continue;
    // A character field of length 0 shows no length; the server takes char(0), not char().
    if (row.type == ftString) return "char(" + std::string(length.empty() ? "0" : length) + ")";
    return std::string(row.mySqlType);
  }
  return {};
}

std::string MySqlColumnType(TFieldType type, int size) {
  return MySqlTypeForTypeName(SourceTypeName(type),
                              type == ftString && size != 0 ? std::to_string(size) : std::string());
}

std::string_view KeyMark(TFieldType type) {
  return type == ftAutoInc ? "KEY" : "";
}

}  // namespace tabulix::app
