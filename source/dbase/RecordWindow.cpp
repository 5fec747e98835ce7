#include "source/dbase/RecordWindow.h"

#include <algorithm>

#include "source/ReadOnlyFile.h"

namespace tabulix::source::dbase {
namespace {

constexpr std::size_t kWindowBytes = 64 * 1024;

}  // namespace

RecordWindow::RecordWindow(const ReadOnlyFile& file, std::uint64_t firstRecord,
                           std::uint32_t recordLength, std::uint32_t recordCount)
    : file_(file),
      firstRecord_(firstRecord),
      recordLength_(recordLength),
      recordCount_(recordCount),
      perWindow_(
          static_cast<std::uint32_t>(std::max<std::size_t>(1, kWindowBytes / recordLength))) {}

std::string_view RecordWindow::Record(std::uint32_t i) {
  if (i < start_ || i - start_ >= count_) {
    bool inOrder = std::int64_t{i} == last_ + 1;
    std::uint32_t count = inOrder ? std::min(perWindow_, recordCount_ - i) : 1;
    buffer_.resize(std::size_t{count} * recordLength_);
    count_ = 0;  // stays empty if the read fails
    file_.ReadExactly(firstRecord_ + std::uint64_t{i} * recordLength_, buffer_.data(),
                      buffer_.size(), "the file shrank while it was read");
    start_ = i;
    count_ = count;
  }
  last_ = i;
  return std::string_view(buffer_).substr(std::size_t{i - start_} * recordLength_, recordLength_);
}

}  // namespace tabulix::source::dbase
