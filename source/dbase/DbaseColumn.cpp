#include "source/dbase/DbaseColumn.h"

#include <array>

#include "framework/Exceptions.h"

namespace tabulix::source::dbase {
namespace {

// Dialects as bits, so that one table row can serve several of them.
enum DialectMask : unsigned {
  kII = 1u << static_cast<int>(DbaseDialect::DBase2),
  kIII = 1u << static_cast<int>(DbaseDialect::DBase3),
  kIV = 1u << static_cast<int>(DbaseDialect::DBase4),
  k7 = 1u << static_cast<int>(DbaseDialect::DBase7),
  kFox = 1u << static_cast<int>(DbaseDialect::FoxPro),
  kVfp = 1u << static_cast<int>(DbaseDialect::VisualFoxPro),
  kAll = kII | kIII | kIV | k7 | kFox | kVfp,
  kDbaseLike = kIII | kIV | k7 | kFox,  // 0x03 files come from dBase and FoxPro writers alike
};

// Size rules: 0 any, -1 a memo pointer (10 ASCII digits or 4 bytes), otherwise exactly that.
constexpr int kAnySize = 0;
constexpr int kMemoPointer = -1;

struct TypeRule {
  char letter;
  unsigned dialects;
  ValueKind kind;
  int size;
  TFieldType type;
};

constexpr std::array<TypeRule, 21> kRules = {{
    {'C', kAll, ValueKind::Text, kAnySize, ftString},
    {'N', kAll, ValueKind::Numeric, kAnySize, ftFloat},
    {'F', kDbaseLike | kVfp, ValueKind::Numeric, kAnySize, ftFloat},
    {'D', kDbaseLike | kVfp, ValueKind::Date, 8, ftDate},
    {'L', kAll, ValueKind::Logical, 1, ftBoolean},
    {'M', kDbaseLike | kVfp, ValueKind::MemoText, kMemoPointer, ftMemo},
    {'B', kDbaseLike, ValueKind::MemoBinary, kMemoPointer, ftBlob},
    {'B', kVfp, ValueKind::VfpDouble, 8, ftFloat},
    {'G', kDbaseLike | kVfp, ValueKind::MemoBinary, kMemoPointer, ftDBaseOle},
    {'P', kIII | kFox | kVfp, ValueKind::MemoBinary, kMemoPointer, ftGraphic},
    {'I', kVfp, ValueKind::VfpInteger, 4, ftInteger},
    {'I', k7, ValueKind::Dbase7Integer, 4, ftInteger},
    {'+', k7, ValueKind::Dbase7Integer, 4, ftAutoInc},
    {'O', k7, ValueKind::Dbase7Double, 8, ftFloat},
    {'@', k7, ValueKind::Dbase7Timestamp, 8, ftDateTime},
    {'T', kVfp, ValueKind::VfpDateTime, 8, ftDateTime},
    {'Y', kVfp, ValueKind::VfpCurrency, 8, ftCurrency},
    {'V', kVfp, ValueKind::VarText, kAnySize, ftString},
    {'Q', kVfp, ValueKind::VarBinary, kAnySize, ftBlob},
    {'W', kVfp, ValueKind::MemoBinary, 4, ftBlob},
    {'0', kVfp, ValueKind::NullFlags, kAnySize, ftUnknown},
}};

std::string Printable(char c) {
  auto b = static_cast<unsigned char>(c);
  if (b >= 0x20 && b < 0x7F) return std::string(1, c);
  return "\\x" + std::string(1, "0123456789ABCDEF"[b >> 4]) + "0123456789ABCDEF"[b & 15];
}

DbaseColumn Resolve(const std::string& tablePath, DbaseDialect dialect,
                    const DbaseFieldDescriptor& d) {
  unsigned mask = 1u << static_cast<int>(dialect);
  const TypeRule* rule = nullptr;
  for (const auto& r : kRules) {
    if (r.letter == d.type && (r.dialects & mask)) {
      rule = &r;
      break;
    }
  }
  std::string field = "field '" + d.rawName + "'";
  if (!rule) {
    throw Exception(tablePath + ": " + field + " has the unknown type '" + Printable(d.type) + "'");
  }
  bool sizeOk = rule->size == kAnySize       ? true
                : rule->size == kMemoPointer ? d.length == 10 || d.length == 4
                                             : d.length == rule->size;
  if ((rule->kind == ValueKind::VarText || rule->kind == ValueKind::VarBinary) && d.length < 1) {
    sizeOk = false;
  }
  if (!sizeOk) {
    throw Exception(tablePath + ": damaged header: " + field + " of type '" + d.type +
                    "' has the impossible size " + std::to_string(d.length));
  }
  DbaseColumn column{d, rule->kind, rule->type};
  if (rule->kind == ValueKind::Numeric) column.type = NumericFieldType(d.length, d.decimals);
  if (dialect == DbaseDialect::VisualFoxPro) {
    if (rule->kind == ValueKind::MemoText && (d.flags & kVfpBinary)) {
      column.kind = ValueKind::MemoBinary;
      column.type = ftBlob;
    }
  }
  return column;
}

// Visual FoxPro hands out the _NullFlags bits in field order: a V or Q field first gets its
// "shorter than the field" bit, then every nullable field its null bit.
void AssignNullBits(std::vector<DbaseColumn>& columns) {
  int next = 0;
  for (auto& c : columns) {
    if (c.kind == ValueKind::NullFlags) continue;
    if (c.kind == ValueKind::VarText || c.kind == ValueKind::VarBinary) c.varLengthBit = next++;
    if (c.descriptor.flags & kVfpNullable) c.nullBit = next++;
  }
}

}  // namespace

TFieldType NumericFieldType(int width, int decimals) {
  if (decimals > 0) return ftFloat;
  if (width <= 4) return ftSmallint;
  if (width <= 9) return ftInteger;
  if (width <= 18) return ftLargeint;
  return ftFloat;
}

bool ReadAsBinary(DbaseColumn& column) {
  switch (column.kind) {
    case ValueKind::Text:
      column.kind = ValueKind::FixedBytes;
      break;
    case ValueKind::VarText:
      column.kind = ValueKind::VarBinary;
      break;
    case ValueKind::MemoText:
      column.kind = ValueKind::MemoBinary;
      break;
    case ValueKind::MemoBinary:
    case ValueKind::VarBinary:
    case ValueKind::FixedBytes:
      return true;
    default:
      return false;
  }
  column.type = ftBlob;
  return true;
}

bool HoldsText(const DbaseColumn& column) {
  return column.kind == ValueKind::Text || column.kind == ValueKind::VarText ||
         column.kind == ValueKind::MemoText;
}

std::vector<DbaseColumn> ResolveColumns(const std::string& tablePath, const DbaseHeader& header) {
  std::vector<DbaseColumn> columns;
  columns.reserve(header.fields.size());
  for (const auto& d : header.fields) columns.push_back(Resolve(tablePath, header.dialect, d));
  if (header.dialect == DbaseDialect::VisualFoxPro) AssignNullBits(columns);
  return columns;
}

}  // namespace tabulix::source::dbase
