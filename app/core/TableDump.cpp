#include "app/core/TableDump.h"

#include <string>
#include <vector>

#include "app/core/ValueFormatter.h"
#include "framework/TDataSet.h"

namespace tabulix::app {

namespace {

// What each line needs per field: the field, a scratch value for its conversions, and (for
// JSON) the escaped key that stands before its value.
struct Column {
  const TField* field;
  FieldValue scratch;
  std::string prefix;
};

std::vector<Column> Columns(TDataSet& table) {
  std::vector<Column> columns;
  for (int i = 0; i < table.FieldCount(); ++i) columns.push_back({&table.Fields(i), {}, {}});
  return columns;
}

// Takes back the text of a record that failed half-way, so that the output never holds part
// of a record: only complete lines reach the file.
class RecordGuard {
 public:
  explicit RecordGuard(std::string& text) : text_(text), start_(text.size()) {}
  ~RecordGuard() {
    if (!done_) text_.resize(start_);
  }
  RecordGuard(const RecordGuard&) = delete;
  RecordGuard& operator=(const RecordGuard&) = delete;
  void Done() { done_ = true; }

 private:
  std::string& text_;
  std::size_t start_;
  bool done_ = false;
};

std::int64_t DumpJsonLines(TDataSet& table, OutputBuffer& out) {
  std::vector<Column> columns = Columns(table);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    std::string& prefix = columns[i].prefix;
    prefix.push_back(i == 0 ? '{' : ',');
    AppendJsonString(prefix, columns[i].field->FieldName());
    prefix.push_back(':');
  }
  ValueFormatter formatter;
  std::int64_t records = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    std::string& text = out.Text();
    RecordGuard guard(text);
    if (columns.empty()) text.push_back('{');
    for (Column& c : columns) {
      text.append(c.prefix);
      RenderedValue v = formatter.Render(*c.field, c.field->ValueView(c.scratch));
      if (v.shape == ValueShape::Null) {
        text.append("null");
      } else if (v.shape == ValueShape::Bare) {
        text.append(v.text);
      } else if (v.shape == ValueShape::PlainText) {
        text.push_back('"');
        text.append(v.text);
        text.push_back('"');
      } else {
        AppendJsonString(text, v.text);
      }
    }
    text.append("}\n");
    guard.Done();
    out.Commit();
    ++records;
  }
  return records;
}

std::int64_t DumpCsv(TDataSet& table, OutputBuffer& out) {
  std::vector<Column> columns = Columns(table);
  std::string& header = out.Text();
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) header.push_back(',');
    AppendCsvField(header, columns[i].field->FieldName());
  }
  header.append("\r\n");
  ValueFormatter formatter;
  std::int64_t records = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    std::string& text = out.Text();
    RecordGuard guard(text);
    bool first = true;
    for (Column& c : columns) {
      if (!first) text.push_back(',');
      first = false;
      formatter.AppendCsv(*c.field, c.field->ValueView(c.scratch), text);
    }
    text.append("\r\n");
    guard.Done();
    out.Commit();
    ++records;
  }
  return records;
}

}  // namespace

std::int64_t DumpTable(TDataSet& table, DumpFormat format, OutputBuffer& out) {
  std::int64_t records =
      format == DumpFormat::Csv ? DumpCsv(table, out) : DumpJsonLines(table, out);
  out.Flush();
  return records;
}

}  // namespace tabulix::app
