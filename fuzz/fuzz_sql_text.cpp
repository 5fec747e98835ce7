// libs: sql framework
// Feeds arbitrary text to the SQL tokenizers, the statement splitter, the clause helpers and
// the number and date parsers. Besides memory errors it checks that every loop makes progress and
// that the results keep their documented bounds.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "framework/StringList.h"
#include "sql/SqlStatement.h"
#include "sql/SqlText.h"
#include "sql/ZSqlScanner.h"

namespace {

using namespace tabulix;

void Check(bool condition) {
  if (!condition) std::abort();
}

void SplitScript(TZSqlScanner& scanner, std::string_view script, std::uint8_t options) {
  scanner.SetShowComments(options & 1);
  scanner.SetShowLineBreaks(options & 2);
  scanner.SetKeepQuotes(!(options & 4));
  scanner.SetFindKeywords(options & 8);
  scanner.SetText(script);
  int position = 0, length = 0, line = 0;
  std::string statement;
  for (;;) {
    const int before = scanner.Position();
    scanner.ExtractStatement(position, length, statement, line);
    Check(length >= 0 && position >= 1 && line >= 1);
    Check(scanner.Position() <= scanner.BufferLength() + 1);
    if (statement.empty()) break;
    Check(scanner.Position() > before);
  }
  Check(scanner.Position() == scanner.BufferLength() + 1);
}

void ScanTokens(TZScanner& scanner, std::string_view text) {
  scanner.SetText(text);
  int position = 0, line = 0;
  std::string token;
  while (scanner.ReadToken(position, line, token) != tkEnd) {
    Check(!token.empty() && position >= 1);
  }
}

void QuoteRoundTrip(const TZScanner& scanner, std::string_view text) {
  Check(scanner.UnquoteText(scanner.QuoteText(text)) == text);
}

template <typename Cut>
void CutAll(std::string text, Cut cut) {
  std::string token;
  while (!text.empty()) {
    const std::size_t before = text.size();
    cut(text, token);
    Check(text.size() < before);
  }
}

// Every byte other than a blank passes CollapseBlanks, in order, and a second pass changes
// nothing: blank runs shrink, values, names and comments do not.
std::string WithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c != ' ' && c != '\t' && c != '\n' && c != '\r') out += c;
  }
  return out;
}

void Collapse(std::string_view text, ServerKind dialect) {
  const std::string once = CollapseBlanks(text, dialect);
  Check(once.size() <= text.size());
  Check(WithoutBlanks(once) == WithoutBlanks(text));
  Check(CollapseBlanks(once, dialect) == once);
}

void Tokens(std::string_view text) {
  static const std::string kNames[] = {"a", "id", "name"};
  CutAll(std::string(text), [](std::string& b, std::string& t) { TakeToken(b, t); });
  CutAll(std::string(text), [](std::string& b, std::string& t) { TakeCodeToken(b, t); });
  CutAll(std::string(text), [](std::string& b, std::string& t) {
    int index = 0;
    TakeOperand(b, kNames, t, index);
    Check(index >= -1 && index < 3);
  });
  CutAll(std::string(text), [](std::string& b, std::string& t) { TakeBracketedName(b, t); });
  CutAll(std::string(text), [](std::string& b, std::string& t) { CutWord(b, " ,;", t); });
  CutAll(std::string(text), [](std::string& b, std::string& t) { CutItem(b, " ,\t\r\n", t); });
  for (ServerKind dialect : {skMySql, skPostgreSql, skInterBase, skMsSql, skOracle, skGeneric}) {
    Collapse(text, dialect);
  }
  StripQuotes(text);
  StripBrackets(text);
  ScaleFromTypeName(text);
  Check(EscapeSqlString(text).size() >= text.size());
}

// Any double written for the server reads back as the same double.
void Numbers(std::string_view text) {
  TextToFloat(text);
  TryStrToFloat(text);
  TryStrToCurr(text);
  if (text.size() < sizeof(double)) return;
  double value;
  std::memcpy(&value, text.data(), sizeof value);
  if (!std::isfinite(value)) return;
  const std::string written = FloatToSqlText(value);
  Check(written.size() <= 24 && TextToFloat(written) == value);
}

void CheckDate(TDateTime value) {
  Check(std::isfinite(value));
  const DateParts d = DecodeDate(value);
  Check(d.year >= 1 && d.year <= 9999);
  Check(DateTimeToSqlText(value).size() <= 23);
}

void Dates(std::string_view text) {
  CheckDate(SqlTextToDate(text));
  CheckDate(SqlTextToTime(text));  // a pure time lies on day 0, 30 December 1899
  const std::string dashed = InsertTimestampSeparators(text);
  Check(dashed.size() <= text.size() + 5);
  CheckDate(SqlTextToDate(dashed));
  for (TFieldType type : {ftInteger, ftBoolean, ftFloat, ftDate, ftTime, ftDateTime, ftString}) {
    FieldValue value = SqlTextToValue(text, type);
    ValueToSqlText(value, type, skMySql);
    ValueToSqlText(value, type, skInterBase);
  }
}

void Statements(std::string_view text, ServerKind dialect) {
  std::string fields, tables;
  SplitSelect(text, dialect, fields, tables);
  int list = 0, order = 0, where = 0, condition = 0;
  if (LocateSelectClauses(text, dialect, list, order, where, condition)) {
    const int end = static_cast<int>(text.size()) + 1;
    Check(list >= 1 && list <= end);
    Check(std::abs(where) <= end && std::abs(order) <= end && condition >= 0);
  }
  // The filter goes in as " WHERE a=1", "(" and ") AND a=1" or " a=1"; the order as
  // " ORDER BY b" or ", b".
  std::string result;
  AddWhereAndOrder(text, "a=1", "b", result, order, where, condition);
  const std::size_t added = result.size() - text.size();
  Check(added == 7 || added == 13 || added == 15 || added == 21);
  StringList names, aliases;
  ExtractTables(tables, names, aliases);
  Check(names.Count() == aliases.Count());
  ExtractTables(text, names, aliases);
  Check(names.Count() == aliases.Count());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

  for (std::uint8_t dialect : {0, 1, 2, 3, 4}) {
    auto scanner = CreateSqlScanner(dialect);
    SplitScript(*scanner, text, options);
    ScanTokens(*scanner, text);
    QuoteRoundTrip(*scanner, text);
  }
  TZSqlScanner generic;
  SplitScript(generic, text, options);
  QuoteRoundTrip(generic, text);
  TZScanner plain;
  ScanTokens(plain, text);

  Tokens(text);
  Numbers(text);
  Dates(text);
  Statements(text, static_cast<ServerKind>(options % 7));
  return 0;
}
