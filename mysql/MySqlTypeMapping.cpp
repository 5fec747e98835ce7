#include "mysql/MySqlTypeMapping.h"

#include <algorithm>
#include <array>
#include <string>

#include "framework/AsciiCase.h"
#include "framework/NumberText.h"
#include "sql/SqlTokenText.h"

namespace tabulix {

namespace {

// Client library type codes (enum_field_types) and the binary column flag.
constexpr int kDecimal = 0, kTiny = 1, kShort = 2, kLong = 3, kFloat = 4, kDouble = 5;
constexpr int kLongLong = 8, kInt24 = 9, kDate = 10, kTime = 11, kDateTime = 12, kYear = 13;
constexpr int kNewDate = 14, kNewDecimal = 246, kTinyBlob = 249, kMediumBlob = 250;
constexpr int kLongBlob = 251, kBlob = 252;
constexpr unsigned kBinaryFlag = 128;

struct CodeType {
  int code;
  TFieldType type;
};

constexpr std::array kCodeTypes{
    CodeType{kDecimal, ftFloat},     CodeType{kNewDecimal, ftFloat},  CodeType{kFloat, ftFloat},
    CodeType{kDouble, ftFloat},      CodeType{kTiny, ftInteger},      CodeType{kShort, ftInteger},
    CodeType{kLong, ftInteger},      CodeType{kInt24, ftInteger},     CodeType{kYear, ftInteger},
    CodeType{kLongLong, ftLargeint}, CodeType{kDate, ftDate},         CodeType{kNewDate, ftDate},
    CodeType{kTime, ftTime},         CodeType{kDateTime, ftDateTime},
};

// The digits from a 1-based position up to the first ")" as a number; 50 when they are none.
int SizeFrom(std::string_view typeName, std::size_t position) {
  if (typeName.size() < position) return 50;
  std::string_view rest = typeName.substr(position - 1);
  rest = rest.substr(0, rest.find(')'));
  return TryStrToInt(rest).value_or(50);
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

TFieldType MySqlFieldType(int typeCode, unsigned flags) {
  for (const CodeType& entry : kCodeTypes) {
    if (entry.code == typeCode) return entry.type;
  }
  if (typeCode == kTinyBlob || typeCode == kMediumBlob || typeCode == kLongBlob ||
      typeCode == kBlob) {
    return (flags & kBinaryFlag) != 0 ? ftBlob : ftMemo;
  }
  return ftString;
}

TFieldType MySqlTypeNameToFieldType(std::string_view typeName, int& size, int& scale) {
  size = 0;
  scale = 0;
  const std::string_view t = typeName;
  if (SamePrefix(t, "bigint")) return ftLargeint;
  const std::string lower = LowerCase(t);
  if (lower == "enum('y','n')" || lower == "enum('n','y')" || lower == "enum('t','f')" ||
      lower == "enum('f','t')") {
    return ftBoolean;
  }
  if (SamePrefix(t, "enum")) {
    size = EnumMaxLength(t);
    return ftString;
  }
  if (Contains(t, "int") || SamePrefix(t, "year")) return ftInteger;
  for (std::string_view word : {"double", "float", "real", "decimal", "numeric"}) {
    if (SamePrefix(t, word)) {
      scale = ScaleFromTypeName(t);
      return ftFloat;
    }
  }
  if (SamePrefix(t, "char")) {
    size = SizeFrom(t, 6);
    return ftString;
  }
  if (SamePrefix(t, "varchar")) {
    size = SizeFrom(t, 9);
    return ftString;
  }
  if (t == "date") return ftDate;
  // With fractional seconds, as datetime(3) and time(3) keep milliseconds.
  if (t == "datetime" || SamePrefix(t, "datetime(")) return ftDateTime;
  if (t == "time" || SamePrefix(t, "time(")) return ftTime;
  if (SamePrefix(t, "timestamp")) return ftDateTime;
  if (Contains(t, "blob")) return ftBlob;
  if (Contains(t, "text")) return ftMemo;
  if (SamePrefix(t, "set")) {
    size = std::max(static_cast<int>(t.size()) - 4, 0);
    return ftString;
  }
  return ftUnknown;
}

int EnumMaxLength(std::string_view typeName) {
  // The values between "enum(" and the closing parenthesis.
  if (typeName.size() < 6) return 0;
  std::string buffer(typeName.substr(5, typeName.size() - 6));
  int longest = 0;
  std::string item;
  for (;;) {
    CutWord(buffer, ",", item);
    if (item.empty()) break;
    longest = std::max(longest, static_cast<int>(StripQuotes(item).size()));
  }
  return longest;
}

}  // namespace tabulix
