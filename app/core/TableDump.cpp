#include "app/core/TableDump.h"

#include <string>
#include <vector>

#include "app/core/ValueFormatter.h"
#include "framework/TDataSet.h"

namespace tabulix::app {

namespace {

std::int64_t DumpJsonLines(TDataSet& table, OutputBuffer& out) {
  // The keys are the same on every line: escape them once.
  std::vector<std::string> keys;
  for (int i = 0; i < table.FieldCount(); ++i) {
    std::string key(i == 0 ? "{" : ",");
    AppendJsonString(key, table.Fields(i).FieldName());
    key.push_back(':');
    keys.push_back(std::move(key));
  }
  ValueFormatter formatter;
  FieldValue value;  // outlives the view the formatter gives
  std::int64_t records = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    std::string& text = out.Text();
    if (keys.empty()) text.push_back('{');
    for (int i = 0; i < table.FieldCount(); ++i) {
      const TField& field = table.Fields(i);
      text.append(keys[static_cast<std::size_t>(i)]);
      value = field.Value();
      RenderedValue v = formatter.Render(field, value);
      if (v.shape == ValueShape::Null) {
        text.append("null");
      } else if (v.shape == ValueShape::Bare) {
        text.append(v.text);
      } else {
        AppendJsonString(text, v.text);
      }
    }
    text.append("}\n");
    out.Commit();
    ++records;
  }
  return records;
}

std::int64_t DumpCsv(TDataSet& table, OutputBuffer& out) {
  std::string& header = out.Text();
  for (int i = 0; i < table.FieldCount(); ++i) {
    if (i > 0) header.push_back(',');
    AppendCsvField(header, table.Fields(i).FieldName());
  }
  header.append("\r\n");
  ValueFormatter formatter;
  FieldValue value;  // outlives the view the formatter gives
  std::int64_t records = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    std::string& text = out.Text();
    for (int i = 0; i < table.FieldCount(); ++i) {
      if (i > 0) text.push_back(',');
      const TField& field = table.Fields(i);
      value = field.Value();
      RenderedValue v = formatter.Render(field, value);
      if (v.shape == ValueShape::Bare) {
        text.append(v.text);
      } else if (v.shape == ValueShape::Text) {
        AppendCsvField(text, v.text);
      }
    }
    text.append("\r\n");
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
