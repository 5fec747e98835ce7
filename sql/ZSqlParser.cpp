#include "sql/ZSqlParser.h"

#include <cstdlib>
#include <initializer_list>

#include "framework/AsciiCase.h"
#include "sql/SqlStatement.h"
#include "sql/SqlText.h"

namespace tabulix {
namespace {

// Delimiters of the words and items of a select list.
constexpr std::string_view kModifierDelimiters = " \r\n";
constexpr std::string_view kItemDelimiters = " ,\t\r\n";

bool OneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  for (std::string_view w : words) {
    if (word == w) return true;
  }
  return false;
}

bool IsSelectModifier(std::string_view upperWord, ServerKind kind) {
  if (OneOf(upperWord, {"DISTINCT", "ALL", "DISTINCTROW"})) return true;
  // STRAIGHT_JOIN is also accepted under its long-standing misspelling, as the clause
  // locator does.
  return kind == skMySql &&
         OneOf(upperWord, {"STRAIGHT_JOIN", "STRAIGNT_JOIN", "SQL_SMALL_RESULT", "SQL_BIG_RESULT",
                           "SQL_BUFFER_RESULT", "HIGH_PRIORITY"});
}

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

// Moves a clause position that lies at or after pos by length, keeping its sign.
void ShiftPosition(int& position, int pos, int length) {
  if (position > 0 && position >= pos) position += length;
  if (position < 0 && -position >= pos) position -= length;
}

// A word or a quoted name after ":" names a parameter; anything else (a number as in an
// unquoted time, a delimiter, a `quoted` column name) leaves the ":" as it is.
bool IsParamName(int kind, std::string_view token) {
  return (kind == kTokenWord || kind == kTokenString) && !token.starts_with('`');
}

}  // namespace

TSqlParser::TSqlParser(TSqlParserOwner& dataset) : dataset_(dataset) {
  sql_.SetOnChange([this](StringList&) { SqlChanged(); });
}

const std::string& TSqlParser::GetText() {
  PrepareText();
  return text_;
}

void TSqlParser::SqlChanged() {
  dataset_.CloseDataset();
  TParams& params = dataset_.Params();
  TParams previous = params;
  params.Clear();
  CreateParamsFromSql(params, sql_.Text());
  if (!params.Empty()) params.AssignValues(previous);
  dataset_.DropFieldDefs();
  dataset_.InvalidateIndexDefs();
  fields_.Clear();
  indices_.Clear();
}

void TSqlParser::PrepareText() {
  const ServerKind kind = dataset_.DatabaseType();
  text_ = sql_.Text();
  isSelect_ = LocateSelectClauses(text_, kind, listPos_, orderPos_, wherePos_, conditionStart_);

  usesRowId_ = false;
  if (kind == skPostgreSql && dataset_.Options().Contains(doUseRowId) && listPos_ >= 1 &&
      !dataset_.ReadOnly()) {
    std::string fieldText, tableText;
    SplitSelect(text_, kind, fieldText, tableText);
    ExtractTables(tableText, tables_, aliases_);
    if (tables_.Count() > 0 && dataset_.HasRowId(tables_[0])) {
      std::string rowId(1, ' ');
      rowId += aliases_[0];
      rowId += ".oid,";
      text_.insert(static_cast<std::size_t>(listPos_ - 1), rowId);
      // The clauses behind the inserted column moved with it.
      const int length = static_cast<int>(rowId.size());
      ShiftPosition(conditionStart_, listPos_, length);
      ShiftPosition(wherePos_, listPos_, length);
      ShiftPosition(orderPos_, listPos_, length);
      usesRowId_ = true;
    }
  }

  if (isSelect_) {
    const std::string sqlFilter = SqlFilter();
    std::string filter = linkFilter_;
    if (!filter.empty() && !sqlFilter.empty()) filter += " AND ";
    filter += sqlFilter;
    std::string result;
    AddWhereAndOrder(text_, filter, orderBy_, result, orderPos_, wherePos_, conditionStart_);
    text_ = std::move(result);
  }
  SubstituteParams();
}

void TSqlParser::SubstituteParams() {
  const bool asIs = dataset_.Options().Contains(doParamsAsIs);
  std::string rest = std::move(text_);
  std::string out;
  std::string token;
  while (!rest.empty()) {
    if (!out.empty() && (rest.front() == '\t' || rest.front() == ' ')) out += ' ';
    TakeToken(rest, token);
    if (token != ":") {
      out += token;
      continue;
    }
    const int kind = TakeToken(rest, token);
    if (token == ":") {
      out += ':';
      continue;
    }
    const std::string name = IsParamName(kind, token) ? StripBrackets(token) : std::string();
    const TParam* param = name.empty() ? nullptr : dataset_.Params().FindParam(name);
    if (!param) {
      // Not a parameter (or one the collection lost): the text stays for the server to judge.
      out += ':';
      out += token;
    } else if (asIs) {
      out += param->Value.IsNullOrEmpty() ? std::string("NULL") : param->Value.AsText();
    } else {
      out += dataset_.ParamValueToLiteral(param->Value);
    }
  }
  text_ = std::move(out);
}

std::string TSqlParser::SqlFilter() const {
  if (!dataset_.Options().Contains(doSqlFilter) || !dataset_.Filtered()) return {};
  std::string filter = dataset_.Filter();
  return IsBlank(filter) ? std::string() : filter;
}

void TSqlParser::Analyse() {
  tables_.Clear();
  aliases_.Clear();
  fields_.Clear();
  indices_.Clear();
  if (!isSelect_) return;

  std::string fieldText, tableText;
  SplitSelect(text_, dataset_.DatabaseType(), fieldText, tableText);
  ExtractTables(tableText, tables_, aliases_);
  for (const std::string& table : tables_) {
    dataset_.LoadColumnDescriptions(table, fields_);
    dataset_.LoadIndexDescriptions(table, fields_, indices_);
  }
  AnalyseSelectList(std::move(fieldText));
}

void TSqlParser::AnalyseSelectList(std::string fieldText) {
  const ServerKind kind = dataset_.DatabaseType();
  std::string word;
  while (true) {
    CutWord(fieldText, kModifierDelimiters, word);
    if (word.empty() || !IsSelectModifier(UpperCase(word), kind)) break;
  }
  PrependText(fieldText, word);

  std::string item, token;
  while (!fieldText.empty()) {
    CutItem(fieldText, kItemDelimiters, item);
    if (item.empty()) break;
    if (item == "*") {
      for (const std::string& table : tables_) AliasTableFields(table);
      break;  // items after a bare "*" are not looked at
    }
    std::string tableRef;
    std::string column = item;
    if (std::size_t dot = item.find('.'); dot != std::string::npos) {
      tableRef = item.substr(0, dot);
      column = item.substr(dot + 1);
    }
    column = NormalizeName(column);
    if (column == "*") {
      AliasTableFields(tableRef);
    } else {
      std::string alias;
      TakeCodeToken(fieldText, token);
      if (SameName(token, "AS") || token == "=") {
        CutItem(fieldText, kItemDelimiters, alias);
        alias = NormalizeName(alias);
      } else {
        PrependText(fieldText, token);
        alias = column;
      }
      SetFieldAlias(tableRef, column, alias);
    }
    // The rest of the item (an expression, say) up to the next ",".
    do {
      TakeCodeToken(fieldText, token);
    } while (!token.empty() && token != ",");
  }
}

void TSqlParser::Reset() {
  linkFilter_.clear();
  orderBy_.clear();
  tables_.Clear();
  aliases_.Clear();
}

std::string TSqlParser::ResolveTable(const std::string& tableRef) const {
  int index = aliases_.IndexOf(tableRef);
  return index >= 0 && static_cast<std::size_t>(index) < tables_.Count()
             ? tables_[static_cast<std::size_t>(index)]
             : tableRef;
}

void TSqlParser::SetFieldAlias(std::string tableRef, std::string_view fieldName,
                               std::string alias) {
  tableRef = ResolveTable(tableRef);
  if (alias.empty()) alias = fieldName;
  const int found = fields_.FindByName(tableRef, fieldName);
  if (found < 0 || !fields_[found].Alias.empty()) return;

  // Unique after cutting to the short-string length: the number replaces the alias's tail
  // when there is no room left for it.
  constexpr std::size_t kMax = TFieldDesc::kMaxNameLength;
  std::string unique = ShortString(alias, kMax);
  for (int n = 1; fields_.FindByAlias(unique) >= 0; ++n) {
    std::string suffix(1, '_');
    suffix += std::to_string(n);
    unique = ShortString(alias, kMax - suffix.size()) + suffix;
  }
  fields_[found].Alias = unique;
}

void TSqlParser::AliasTableFields(const std::string& tableRef) {
  const std::string table = ResolveTable(tableRef);
  for (int i = 0; i < fields_.Count(); ++i) {
    const TFieldDesc& desc = fields_[i];
    if (!table.empty() && !SameName(desc.TableName, table)) continue;
    SetFieldAlias(tableRef, std::string(desc.FieldName), std::string(desc.Alias));
  }
}

std::string TSqlParser::NormalizeName(std::string_view name) const {
  const ServerKind kind = dataset_.DatabaseType();
  if (kind != skPostgreSql && kind != skMsSql) return std::string(name);
  if (!name.empty() && name.front() == '"') return StripQuotes(name);
  return LowerCase(name);
}

void TSqlParser::GetIndexDefs(std::vector<TIndexDef>& indexDefs) const {
  indexDefs.clear();
  for (const TIndexDesc& index : indices_) {
    std::string names;
    bool plain = false;
    for (const std::string& column : index.Columns) {
      const int found = fields_.FindByName(index.TableName, column);
      if (found < 0 || fields_[found].Alias.empty()) {
        plain = true;
        continue;
      }
      if (!names.empty()) names += ',';
      names += fields_[found].Alias;
    }
    if (names.empty()) continue;
    TIndexDef def{index.IndexName, names, 0};
    if (!plain && index.KeyType == TIndexDesc::kPrimary) def.Options |= ixPrimary | ixUnique;
    if (!plain && index.KeyType == TIndexDesc::kUnique) def.Options |= ixUnique;
    if (index.SortOrder == TIndexDesc::kDescending) def.Options |= ixDescending;
    indexDefs.push_back(std::move(def));
  }
}

void TSqlParser::CreateParamsFromSql(TParams& params, std::string_view text) {
  std::string rest(text);
  std::string token;
  while (!rest.empty()) {
    TakeToken(rest, token);
    if (token != ":") continue;
    const int kind = TakeToken(rest, token);
    if (token == ":") continue;  // "::" stands for a single colon
    if (!IsParamName(kind, token)) continue;
    std::string name = StripQuotes(token);
    if (!name.empty()) params.Add(std::move(name));
  }
}

}  // namespace tabulix
