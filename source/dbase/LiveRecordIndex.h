#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace tabulix::source {
class ReadOnlyFile;
}  // namespace tabulix::source

namespace tabulix::source::dbase {

// Maps the n-th record not marked deleted to its place in the file. Keeps only the numbers of
// the deleted records, so memory grows with them and not with the table.
class LiveRecordIndex {
 public:
  LiveRecordIndex() = default;
  // deleted: sorted, distinct record numbers below total.
  LiveRecordIndex(std::vector<std::uint32_t> deleted, std::uint32_t total);

  // Whole records as the scan reads them, in file order; false when it wants no more.
  using RecordVisitor = std::function<bool(std::string_view records)>;

  // Reads the delete flag of each record, in large sequential reads, and shows the records
  // read to the visitor when there is one (without one, long records are not read whole).
  static LiveRecordIndex Scan(const ReadOnlyFile& file, std::uint64_t firstRecord,
                              std::uint32_t recordLength, std::uint32_t recordCount,
                              const RecordVisitor& visitor = {});

  std::int64_t LiveCount() const { return std::int64_t{total_} - std::int64_t(deleted_.size()); }
  // Physical record number of live record n (0 <= n < LiveCount()).
  std::uint32_t Physical(std::int64_t n) const;

 private:
  std::vector<std::uint32_t> deleted_;
  std::uint32_t total_ = 0;
};

}  // namespace tabulix::source::dbase
