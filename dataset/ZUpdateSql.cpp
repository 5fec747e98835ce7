#include "dataset/ZUpdateSql.h"

#include <algorithm>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "mysql/TZTransact.h"
#include "sql/SqlTokenText.h"

namespace tabulix {
namespace {

bool IsBlankChar(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// When the output ends in a bare "=" (blanks after it allowed), cuts it off with the blanks
// around it and gives true; "<=", ">=", "!=" and ":=" are left alone.
bool CutTrailingEquals(std::string& out) {
  std::size_t end = out.size();
  while (end > 0 && out[end - 1] == ' ') --end;
  if (end == 0 || out[end - 1] != '=') return false;
  if (end >= 2 && std::string_view("<>!:").find(out[end - 2]) != std::string_view::npos) {
    return false;
  }
  --end;
  while (end > 0 && out[end - 1] == ' ') --end;
  out.resize(end);
  return true;
}

}  // namespace

StringList& TZUpdateSql::ListOf(TUpdateKind kind) {
  return kind == ukInsert ? insertSql_ : kind == ukDelete ? deleteSql_ : modifySql_;
}

std::string TZUpdateSql::BuildStatement(TUpdateKind kind, const std::byte* oldRecord,
                                        const std::byte* newRecord) {
  if (!dataSet_) throw EDatabaseError("Dataset component not defined");
  TSqlBuffer& buffer = dataSet_->MainBuffer();
  std::string text = ListOf(kind).Text();
  std::string out;
  std::string token;
  bool inWhere = false;
  while (!text.empty()) {
    const bool blank = IsBlankChar(text.front());
    const int kind = TakeCodeToken(text, token);
    if (token.empty()) break;
    if (blank && !out.empty()) out += ' ';
    if (token != ":") {
      if (kind == kTokenWord) {
        const std::string word = UpperCase(token);
        if (word == "WHERE") inWhere = true;
        if (word == "ORDER" || word == "HAVING" || word == "GROUP") inWhere = false;
      }
      out += token;
      continue;
    }
    if (!text.empty() && text.front() == ':') {
      text.erase(0, 1);
      out += "::";
      continue;
    }
    TakeCodeToken(text, token);
    std::string name = StripQuotes(token);
    const bool old = StartsWithIgnoreCase(name, "OLD_");
    if (old || StartsWithIgnoreCase(name, "NEW_")) name.erase(0, 4);
    const TField* field = dataSet_->FindField(name);
    const int desc = field ? buffer.SqlFields().FindByField(field) : -1;
    if (desc < 0) throw EDatabaseError("Parameters can not be defined");
    const std::byte* record = old ? oldRecord : newRecord;
    if (!buffer.IsNull(record, desc)) {
      out += dataSet_->FieldLiteral(record, desc);
    } else if (inWhere && CutTrailingEquals(out)) {
      out += " IS NULL";
    } else {
      out += "NULL";
    }
  }
  return out;
}

void TZUpdateSql::Apply(TUpdateKind kind, const std::byte* oldRecord, const std::byte* newRecord) {
  const std::string sql = BuildStatement(kind, oldRecord, newRecord);
  if (std::all_of(sql.begin(), sql.end(), IsBlankChar)) {
    throw EDatabaseError("UpdateSql query is empty");
  }
  TZTransact* transaction = dataSet_->Transaction();
  if (!transaction) throw EDatabaseError("Transaction component not defined");
  transaction->BatchExec(sql);
}

}  // namespace tabulix
