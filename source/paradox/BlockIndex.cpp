#include "source/paradox/BlockIndex.h"

#include <algorithm>

#include "framework/NumberText.h"
#include "source/paradox/ByteOrder.h"
#include "source/paradox/ParadoxError.h"

namespace tabulix::source::paradox {
namespace {

constexpr int kBlockHeaderSize = 6;
constexpr std::size_t kBlockNumbers = 65536;

}  // namespace

BlockIndex BlockIndex::Build(const ReadOnlyFile& file, const ParadoxHeader& header) {
  BlockIndex index;
  index.headerSize_ = static_cast<std::uint64_t>(header.headerSize);
  index.blockSize_ = static_cast<std::uint64_t>(header.blockSize);
  const std::string& path = file.Path();
  const std::int64_t recordSize = header.recordSize;
  const int capacity = (header.blockSize - kBlockHeaderSize) / header.recordSize;
  const std::string expected = "header says " + IntToStr(header.recordCount) + " records";

  std::vector<bool> visited(kBlockNumbers, false);
  std::int64_t total = 0;
  for (std::uint16_t number = header.firstBlock; number != 0;) {
    if (visited[number]) {
      ThrowFileError(path, "damaged block chain: it loops back to block " + IntToStr(number) +
                               " (" + expected + ")");
    }
    visited[number] = true;
    std::uint64_t offset = index.BlockOffset(number);
    std::uint8_t head[kBlockHeaderSize];
    if (!file.ReadFully(offset, head, sizeof head)) {
      ThrowFileError(path, "the file is truncated: " + expected + " but the file holds " +
                               IntToStr(total) + " (block " + IntToStr(number) + " is missing)");
    }
    auto addDataSize = static_cast<std::int16_t>(Le16(head + 4));
    int count = addDataSize < 0 ? 0 : addDataSize / header.recordSize + 1;
    if (addDataSize >= 0 && addDataSize % header.recordSize != 0) {
      ThrowFileError(path, "damaged data block " + IntToStr(number) + ": record area of " +
                               IntToStr(addDataSize + recordSize) +
                               " bytes is no multiple of the " + IntToStr(recordSize) +
                               "-byte record");
    }
    if (count > capacity) {
      ThrowFileError(path, "damaged data block " + IntToStr(number) + ": " + IntToStr(count) +
                               " records do not fit a block of " + IntToStr(header.blockSize) +
                               " bytes");
    }
    if (!file.Contains(offset, kBlockHeaderSize + count * recordSize)) {
      std::uint64_t present =
          (file.Size() - offset - kBlockHeaderSize) / static_cast<std::uint64_t>(recordSize);
      ThrowFileError(path, "the file is truncated: " + expected + " but the file holds " +
                               IntToStr(total + static_cast<std::int64_t>(present)));
    }
    if (count > 0) {
      index.blocks_.push_back(Block{number, static_cast<std::uint16_t>(count), total});
      total += count;
    }
    number = Le16(head);
  }
  if (total != static_cast<std::int64_t>(header.recordCount)) {
    ThrowFileError(path, expected + " but the file holds " + IntToStr(total));
  }
  index.recordCount_ = total;
  return index;
}

BlockIndex::Position BlockIndex::Locate(std::int64_t n) const {
  auto after =
      std::upper_bound(blocks_.begin(), blocks_.end(), n,
                       [](std::int64_t value, const Block& b) { return value < b.firstRecord; });
  const Block& block = *(after - 1);
  return Position{&block, static_cast<int>(n - block.firstRecord)};
}

}  // namespace tabulix::source::paradox
