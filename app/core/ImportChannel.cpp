#include "app/core/ImportChannel.h"

#include <charconv>

namespace tabulix::app {
namespace {

// Reads a decimal number and the blank after it (none at the end of the line).
template <class T>
bool TakeNumber(std::string_view& line, T& value) {
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
  if (error != std::errc() || end == line.data()) return false;
  line.remove_prefix(static_cast<std::size_t>(end - line.data()));
  if (line.empty()) return true;
  if (line.front() != ' ') return false;
  line.remove_prefix(1);
  return true;
}

bool TakeWord(std::string_view& line, std::string_view word) {
  if (line.substr(0, word.size()) != word) return false;
  line.remove_prefix(word.size());
  return true;
}

}  // namespace

std::string ProgressLine(const ChannelProgress& progress) {
  return "progress " + std::to_string(progress.copied) + " " + std::to_string(progress.total) +
         "\n";
}

std::string ResultLine(const ChannelResult& result) {
  std::string line = "result " + std::to_string(result.status) + " " +
                     std::to_string(result.rowsRead) + " " + std::to_string(result.record) + " ";
  for (const char c : result.message) {
    if (c == '\\') {
      line += "\\\\";
    } else if (c == '\n') {
      line += "\\n";
    } else if (c == '\r') {
      line += "\\r";
    } else {
      line += c;
    }
  }
  return line + "\n";
}

bool ParseProgressLine(std::string_view line, ChannelProgress& progress) {
  return TakeWord(line, "progress ") && TakeNumber(line, progress.copied) &&
         TakeNumber(line, progress.total) && line.empty();
}

bool ParseResultLine(std::string_view line, ChannelResult& result) {
  if (!TakeWord(line, "result ") || !TakeNumber(line, result.status) ||
      !TakeNumber(line, result.rowsRead) || !TakeNumber(line, result.record)) {
    return false;
  }
  result.message.clear();
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\\' && i + 1 < line.size()) {
      c = line[++i];
      if (c == 'n') c = '\n';
      if (c == 'r') c = '\r';
    }
    result.message += c;
  }
  return true;
}

}  // namespace tabulix::app
