#pragma once

#include <string_view>

namespace tabulix::app {

// Where the status log goes: the window's MemoStatus, standard output of the command line, a
// test's list of lines. The import engine produces every line once, here; a front end only
// shows them.
class LogSink {
 public:
  virtual ~LogSink() = default;
  // Empties the log (a load does this; standard output cannot be emptied and ignores it).
  virtual void Clear() = 0;
  // Appends one line, without its line end.
  virtual void Add(std::string_view line) = 0;
};

}  // namespace tabulix::app
