#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace tabulix::app {

// The lines of the status log, packed: the text of many lines shares large chunks, and each
// line costs 12 bytes beside its text, so a log of millions of statements stays compact and
// adding a line is a copy, never a move of what is stored.
class LogLines {
 public:
  void Add(std::string_view line);
  void Clear();
  std::size_t Size() const { return entries_.size(); }
  std::string_view operator[](std::size_t index) const {
    const Entry& e = entries_[index];
    return {chunks_[e.chunk].get() + e.offset, e.length};
  }
  // Bytes of the longest line.
  std::size_t LongestLine() const { return longest_; }

 private:
  static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
  struct Entry {
    std::uint32_t chunk;
    std::uint32_t offset;
    std::uint32_t length;
  };

  std::vector<std::unique_ptr<char[]>> chunks_;
  std::vector<Entry> entries_;
  std::size_t used_ = 0;      // bytes used in the last chunk
  std::size_t capacity_ = 0;  // size of the last chunk
  std::size_t longest_ = 0;
};

}  // namespace tabulix::app
