#include "dataset/internal/BulkRows.h"

#include <cassert>

namespace tabulix::dataset_internal {

LiteralKind KindOf(std::string_view literal) {
  if (literal == "NULL") return LiteralKind::Unknown;
  return !literal.empty() && literal.front() == '\'' ? LiteralKind::Quoted : LiteralKind::Bare;
}

void AppendLoadField(std::string& out, std::string_view literal) {
  const LiteralKind kind = KindOf(literal);
  if (kind == LiteralKind::Unknown) {
    out += "\\N";
    return;
  }
  // The content of a quoted literal keeps its escapes: \0 \b \n \r \t \Z \\ \' \" stand for
  // the same bytes in a LOAD file, and the literals never hold the other escapes (\% \_).
  const bool quoted = kind == LiteralKind::Quoted;
  const std::string_view content = quoted ? literal.substr(1, literal.size() - 2) : literal;
  for (const char c : content) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        // Never in a quoted literal's content, where a line feed is escaped already.
        out += "\\n";
        break;
      case '\\':
        out += quoted ? "\\" : "\\\\";
        break;
      default:
        out += c;
    }
  }
}

void AppendLiteral(std::string& out, std::string_view field, LiteralKind kind) {
  if (field == "\\N") {
    out += "NULL";
    return;
  }
  const bool quoted = kind == LiteralKind::Quoted;
  if (quoted) out += '\'';
  for (std::size_t i = 0; i < field.size(); ++i) {
    const char c = field[i];
    if (c != '\\' || i + 1 == field.size()) {
      out += c;
      continue;
    }
    const char next = field[++i];
    // Only the tab and the line feed were escaped on the way; every other escape of a quoted
    // literal's content is its own and stays.
    if (next == 't') {
      out += '\t';
    } else if (next == 'n' && !quoted) {
      out += '\n';
    } else if (quoted) {
      out += '\\';
      out += next;
    } else {
      out += next;
    }
  }
  if (quoted) out += '\'';
}

void BulkRows::Clear(std::int64_t firstRow) {
  text_.clear();
  ends_.clear();
  if (form_ == Form::Insert) text_ = head_;
  firstRow_ = firstRow;
}

std::size_t BulkRows::Start(std::size_t row) const {
  if (row == 0) return form_ == Form::Insert ? head_.size() : 0;
  // An INSERT row begins after the comma that follows the row before it.
  return ends_[row - 1] + (form_ == Form::Insert ? 1 : 0);
}

void BulkRows::AddRow(const std::vector<std::string>& literals, std::vector<LiteralKind>& kinds) {
  if (form_ == Form::Insert) {
    if (!ends_.empty()) text_ += ',';
    text_ += '(';
    for (std::size_t i = 0; i < literals.size(); ++i) {
      if (i > 0) text_ += ", ";
      text_ += literals[i];
    }
    text_ += ')';
  } else {
    for (std::size_t i = 0; i < literals.size(); ++i) {
      if (i > 0) text_ += '\t';
      AppendLoadField(text_, literals[i]);
      if (kinds[i] == LiteralKind::Unknown) kinds[i] = KindOf(literals[i]);
    }
    text_ += '\n';
  }
  ends_.push_back(static_cast<std::uint32_t>(text_.size()));
}

void BulkRows::MoveLastRowTo(BulkRows& other) {
  assert(!ends_.empty() && other.Count() == 0 && other.form_ == form_);
  const std::size_t last = ends_.size() - 1;
  const std::size_t start = Start(last);
  other.text_.append(text_, start, ends_[last] - start);
  other.ends_.push_back(static_cast<std::uint32_t>(other.text_.size()));
  other.firstRow_ = firstRow_ + static_cast<std::int64_t>(last);
  // The comma before an INSERT row goes with it.
  text_.resize(form_ == Form::Insert && last > 0 ? start - 1 : start);
  ends_.pop_back();
}

std::string BulkRows::InsertStatement(const std::string& insertHead, std::size_t first,
                                      std::size_t last,
                                      const std::vector<LiteralKind>& kinds) const {
  std::string sql = insertHead;
  if (form_ == Form::Insert) {
    const std::size_t from = Start(first);
    sql.append(text_, from, ends_[last - 1] - from);
    return sql;
  }
  for (std::size_t row = first; row < last; ++row) {
    if (row > first) sql += ',';
    sql += '(';
    // Without the line's "\n"; the tabs between the fields are raw, those inside are \t.
    std::string_view line(text_.data() + Start(row), ends_[row] - Start(row) - 1);
    for (std::size_t column = 0;; ++column) {
      const std::size_t tab = line.find('\t');
      if (column > 0) sql += ", ";
      AppendLiteral(sql, line.substr(0, tab),
                    column < kinds.size() ? kinds[column] : LiteralKind::Bare);
      if (tab == std::string_view::npos) break;
      line.remove_prefix(tab + 1);
    }
    sql += ')';
  }
  return sql;
}

}  // namespace tabulix::dataset_internal
