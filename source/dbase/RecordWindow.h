#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tabulix::source {
class ReadOnlyFile;
}  // namespace tabulix::source

namespace tabulix::source::dbase {

// Fetches records from the file: one at a time for random access, a window of consecutive
// records when they are read in order, so that a sequential pass costs one read per window
// instead of one per record. Memory stays at one window whatever the table's size.
class RecordWindow {
 public:
  RecordWindow(const ReadOnlyFile& file, std::uint64_t firstRecord, std::uint32_t recordLength,
               std::uint32_t recordCount);

  // The bytes of record i (0-based, deleted ones counted, i < recordCount), valid until the
  // next call.
  std::string_view Record(std::uint32_t i);

 private:
  const ReadOnlyFile& file_;
  std::uint64_t firstRecord_;
  std::uint32_t recordLength_;
  std::uint32_t recordCount_;
  std::uint32_t perWindow_;
  std::string buffer_;
  std::uint32_t start_ = 0;  // first record in the buffer
  std::uint32_t count_ = 0;  // records in the buffer
  std::int64_t last_ = -2;   // record asked for last time
};

}  // namespace tabulix::source::dbase
