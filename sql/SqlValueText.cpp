#include "sql/SqlValueText.h"

#include <algorithm>
#include <array>

#include "framework/Exceptions.h"
#include "framework/NumberText.h"
#include "sql/SqlDateText.h"
#include "sql/SqlNumberText.h"

namespace tabulix {
namespace {

// The escape letter for a byte that needs a backslash, 0 for one that does not.
constexpr char EscapeFor(char c) {
  switch (c) {
    case '\0':
      return '0';
    case '\n':
      return 'n';
    case '\r':
      return 'r';
    case '\x1a':
      return 'Z';
    case '"':
    case '\'':
    case '\\':
      return c;
    default:
      return 0;
  }
}

std::string DateTimeValueText(TDateTime value, TFieldType fieldType, ServerKind serverKind) {
  // A time is always written whole: strict servers reject '' for midnight.
  if (fieldType == ftTime) return TimeToSqlText(value);
  std::string text =
      serverKind == skInterBase ? DateTimeToUsText(value) : DateTimeToSqlTextFull(value);
  if (fieldType == ftDate) text.resize(std::min<std::size_t>(text.size(), 10));
  return text;
}

std::string ConvertedText(const FieldValue& value, TFieldType fieldType, ServerKind serverKind) {
  switch (fieldType) {
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      return IntToStr(value.AsInteger());
    case ftBoolean: {
      const bool b = value.AsBoolean();
      if (serverKind == skPostgreSql) return b ? "t" : "f";
      if (serverKind == skMsSql) return b ? "1" : "0";
      return b ? "Y" : "N";
    }
    case ftFloat:
      return FloatToSqlText(value.AsDouble());
    case ftCurrency:
      if (serverKind == skPostgreSql) return MoneyToSqlText(value.AsDouble()) + "::money";
      return FloatToSqlText(value.AsDouble());
    case ftBCD:
      return CurrencyToSqlText(value.AsCurrency());
    case ftDate:
    case ftTime:
    case ftDateTime:
      return DateTimeValueText(value.AsDateTime(), fieldType, serverKind);
    default:
      return value.AsText();
  }
}

}  // namespace

void AppendEscapedSqlString(std::string& out, std::string_view text) {
  static constexpr std::array<char, 256> kEscapes = [] {
    std::array<char, 256> escapes{};
    for (int c = 0; c < 256; ++c) escapes[c] = EscapeFor(static_cast<char>(c));
    return escapes;
  }();
  std::size_t escaped = 0;
  for (char c : text) escaped += kEscapes[static_cast<unsigned char>(c)] != 0;
  if (escaped == 0) {
    // The common case: nothing to escape.
    out.append(text);
    return;
  }
  std::size_t o = out.size();
  out.resize(o + text.size() + escaped);
  for (char c : text) {
    if (char e = kEscapes[static_cast<unsigned char>(c)]; e != 0) {
      out[o++] = '\\';
      out[o++] = e;
    } else {
      out[o++] = c;
    }
  }
}

std::string EscapeSqlString(std::string_view text) {
  std::string out;
  AppendEscapedSqlString(out, text);
  return out;
}

std::string BytesToHexLiteral(std::string_view bytes) {
  if (bytes.empty()) return "NULL";
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "0x";
  out.reserve(2 + bytes.size() * 2);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += kHex[b >> 4];
    out += kHex[b & 0x0F];
  }
  return out;
}

FieldValue SqlTextToValue(std::string_view text, TFieldType fieldType) {
  switch (fieldType) {
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      return FieldValue::Integer(TryStrToInt(text).value_or(0));
    case ftBoolean:
      return FieldValue::Boolean(
          !text.empty() && (text[0] == 'T' || text[0] == 'Y' || text[0] == 't' || text[0] == 'y'));
    case ftFloat:
    case ftCurrency:
      return FieldValue::Double(TextToFloatDef(text, 0.0));
    case ftBCD:
      return FieldValue::FromCurrency(SqlTextToCurrency(text));
    case ftDate:
    case ftDateTime:
      return FieldValue::DateTime(SqlTextToDate(text));
    case ftTime:
      return FieldValue::DateTime(SqlTextToTime(text));
    default:
      return FieldValue::Bytes(std::string(text));
  }
}

std::string ValueToSqlText(const FieldValue& value, TFieldType fieldType, ServerKind serverKind) {
  if (value.IsNullOrEmpty()) return "NULL";
  try {
    return ConvertedText(value, fieldType, serverKind);
  } catch (const Exception&) {
    return {};
  }
}

}  // namespace tabulix
