#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulix::app {

// The lines an import that import-dir started writes on its channel (a descriptor the parent
// reads): "progress COPIED TOTAL" while it copies, and one "result STATUS ROWS RECORD MESSAGE"
// at the end. The message is escaped (\\, \n, \r) so that it stays one line.
struct ChannelProgress {
  std::int64_t copied = 0;
  std::int64_t total = 0;
};

struct ChannelResult {
  int status = 0;             // the import's exit status
  std::int64_t rowsRead = 0;  // source records read
  std::int64_t record = 0;    // the record that failed; 0 for none
  std::string message;        // the error message; empty after success
};

std::string ProgressLine(const ChannelProgress& progress);
std::string ResultLine(const ChannelResult& result);
// False for a line of another kind or a damaged one.
bool ParseProgressLine(std::string_view line, ChannelProgress& progress);
bool ParseResultLine(std::string_view line, ChannelResult& result);

}  // namespace tabulix::app
