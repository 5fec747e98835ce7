#include "source/dbase/LiveRecordIndex.h"

#include <algorithm>
#include <string>

#include "source/ReadOnlyFile.h"

namespace tabulix::source::dbase {
namespace {

constexpr char kDeletedFlag = '*';
constexpr std::size_t kScanBuffer = 256 * 1024;

}  // namespace

LiveRecordIndex::LiveRecordIndex(std::vector<std::uint32_t> deleted, std::uint32_t total)
    : deleted_(std::move(deleted)), total_(total) {}

LiveRecordIndex LiveRecordIndex::Scan(const ReadOnlyFile& file, std::uint64_t firstRecord,
                                      std::uint32_t recordLength, std::uint32_t recordCount,
                                      const RecordVisitor& visitor) {
  std::vector<std::uint32_t> deleted;
  const std::string what = "the file shrank while it was read";
  bool visiting = static_cast<bool>(visitor);
  if (recordLength >= kScanBuffer / 16 && !visiting) {
    // Long records: one byte per record rather than reading all of them.
    for (std::uint32_t i = 0; i < recordCount; ++i) {
      char flag = 0;
      file.ReadExactly(firstRecord + std::uint64_t{i} * recordLength, &flag, 1, what);
      if (flag == kDeletedFlag) deleted.push_back(i);
    }
  } else {
    const auto perChunk =
        static_cast<std::uint32_t>(std::max<std::size_t>(1, kScanBuffer / recordLength));
    std::string buffer(std::size_t{perChunk} * recordLength, '\0');
    for (std::uint64_t start = 0; start < recordCount; start += perChunk) {
      auto count =
          static_cast<std::uint32_t>(std::min<std::uint64_t>(perChunk, recordCount - start));
      file.ReadExactly(firstRecord + start * recordLength, buffer.data(),
                       std::size_t{count} * recordLength, what);
      for (std::uint32_t i = 0; i < count; ++i) {
        if (buffer[std::size_t{i} * recordLength] == kDeletedFlag) {
          deleted.push_back(static_cast<std::uint32_t>(start + i));
        }
      }
      if (visiting) {
        visiting = visitor(std::string_view(buffer).substr(0, std::size_t{count} * recordLength));
      }
    }
  }
  deleted.shrink_to_fit();
  return LiveRecordIndex(std::move(deleted), recordCount);
}

std::uint32_t LiveRecordIndex::Physical(std::int64_t n) const {
  // deleted_[j] - j counts the live records before deleted_[j]; the first deleted record with
  // more than n live ones before it tells how many deleted records precede live record n.
  auto it = std::partition_point(deleted_.begin(), deleted_.end(), [&](const std::uint32_t& d) {
    return std::int64_t{d} - (&d - deleted_.data()) <= n;
  });
  return static_cast<std::uint32_t>(n + (it - deleted_.begin()));
}

}  // namespace tabulix::source::dbase
