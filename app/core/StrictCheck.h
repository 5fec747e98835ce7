#pragma once

#include <string>
#include <vector>

#include "framework/Exceptions.h"

namespace tabulix::source {
class TTableBDE;
}

namespace tabulix::app {

// A table holds values that would not arrive as stored. The message is the first warning
// line; Lines() gives them all.
class EValuesNotAsStored : public Exception {
 public:
  explicit EValuesNotAsStored(std::vector<std::string> lines)
      : Exception(lines.empty() ? std::string() : lines.front()), lines_(std::move(lines)) {}
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::vector<std::string> lines_;
};

// For a strict run, before anything is written: reads the whole open table (records already
// counted are not read again) and raises EValuesNotAsStored when any value would not be
// delivered as stored. The cursor stays where it is.
void CheckValuesAsStored(source::TTableBDE& table);

}  // namespace tabulix::app
