#include "app/gui/LogLines.h"

#include <cstring>
#include <limits>

namespace tabulix::app {

void LogLines::Add(std::string_view line) {
  // A line is cut only where an index cannot reach: beyond 4 GB.
  if (line.size() > std::numeric_limits<std::uint32_t>::max()) {
    line = line.substr(0, std::numeric_limits<std::uint32_t>::max());
  }
  if (chunks_.empty() || capacity_ - used_ < line.size()) {
    // A line longer than a chunk gets a chunk of its own size.
    capacity_ = line.size() > kChunkSize ? line.size() : kChunkSize;
    chunks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));
    used_ = 0;
  }
  if (!line.empty()) std::memcpy(chunks_.back().get() + used_, line.data(), line.size());
  entries_.push_back({static_cast<std::uint32_t>(chunks_.size() - 1),
                      static_cast<std::uint32_t>(used_), static_cast<std::uint32_t>(line.size())});
  used_ += line.size();
  if (line.size() > longest_) longest_ = line.size();
}

void LogLines::Clear() {
  chunks_.clear();
  entries_.clear();
  entries_.shrink_to_fit();
  used_ = capacity_ = longest_ = 0;
}

}  // namespace tabulix::app
