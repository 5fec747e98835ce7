#include "app/core/FolderReport.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "app/core/ValueFormatter.h"

namespace tabulix::app {
namespace {

std::string Seconds(double seconds) {
  char text[32];
  const auto end =
      std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 2).ptr;
  return std::string(text, end);
}

std::string ResultText(const TableResult& r) {
  if (r.ok) return "ok";
  std::string text = "failed: " + r.message;
  if (r.record > 0) text += " (record " + std::to_string(r.record) + ")";
  // One line per table, whatever the message holds.
  std::replace(text.begin(), text.end(), '\n', ' ');
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

}  // namespace

std::string SummaryTable(const std::vector<TableResult>& results) {
  using Line = std::array<std::string, 5>;
  std::vector<Line> lines = {{"file", "rows read", "rows on server", "seconds", "result"}};
  int imported = 0;
  for (const TableResult& r : results) {
    imported += r.ok ? 1 : 0;
    lines.push_back({r.table.file, std::to_string(r.rowsRead),
                     r.rowsOnServer ? std::to_string(*r.rowsOnServer) : std::string("-"),
                     Seconds(r.seconds), ResultText(r)});
  }
  std::array<std::size_t, 4> width{};
  for (const Line& line : lines) {
    for (std::size_t c = 0; c < width.size(); ++c) width[c] = std::max(width[c], line[c].size());
  }
  std::string out;
  for (const Line& line : lines) {
    // The file name left-aligned, the numbers right-aligned, the result as it is.
    out += line[0] + std::string(width[0] - line[0].size(), ' ');
    for (std::size_t c = 1; c < width.size(); ++c) {
      out += "  " + std::string(width[c] - line[c].size(), ' ') + line[c];
    }
    out += "  " + line[4] + "\n";
  }
  out += std::to_string(results.size()) + " tables: " + std::to_string(imported) + " imported, " +
         std::to_string(results.size() - static_cast<std::size_t>(imported)) + " failed\n";
  return out;
}

std::string JsonReport(const std::vector<TableResult>& results, const std::string& folder,
                       const std::string& database, int jobs, bool bulk, double seconds) {
  std::string out = "{\n  \"folder\": ";
  AppendJsonString(out, folder);
  out += ",\n  \"database\": ";
  AppendJsonString(out, database);
  out += ",\n  \"jobs\": " + std::to_string(jobs) + ",\n  \"bulk\": " + (bulk ? "true" : "false") +
         ",\n  \"seconds\": " + Seconds(seconds) + ",\n  \"tables\": [";
  int imported = 0;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const TableResult& r = results[i];
    imported += r.ok ? 1 : 0;
    out += i == 0 ? "\n    {" : ",\n    {";
    out += "\"file\": ";
    AppendJsonString(out, r.table.file);
    out += ", \"table\": ";
    AppendJsonString(out, r.table.table);
    out += std::string(", \"status\": ") + (r.ok ? "\"ok\"" : "\"failed\"");
    out += ", \"rows_read\": " + std::to_string(r.rowsRead);
    out += ", \"rows_on_server\": " +
           (r.rowsOnServer ? std::to_string(*r.rowsOnServer) : std::string("null"));
    out += ", \"seconds\": " + Seconds(r.seconds) + ", \"message\": ";
    AppendJsonString(out, r.message);
    out += ", \"record\": " + (r.record > 0 ? std::to_string(r.record) : std::string("null"));
    out += "}";
  }
  out += results.empty() ? "],\n" : "\n  ],\n";
  out += "  \"imported\": " + std::to_string(imported) +
         ",\n  \"failed\": " + std::to_string(static_cast<int>(results.size()) - imported) +
         "\n}\n";
  return out;
}

}  // namespace tabulix::app
