#pragma once

#include <cstdint>
#include <vector>

#include "source/ReadOnlyFile.h"
#include "source/paradox/ParadoxHeader.h"

namespace tabulix::source::paradox {

// The data blocks of a table in chain order with their record counts: enough to find record n
// without reading the records before it. At most 65535 entries, whatever the record count.
class BlockIndex {
 public:
  struct Block {
    std::uint16_t number = 0;
    std::uint16_t recordCount = 0;
    std::int64_t firstRecord = 0;  // table position of the block's first record
  };
  struct Position {
    const Block* block = nullptr;
    int indexInBlock = 0;
  };

  // Walks the block chain from the header's first block, reading only block headers. Raises
  // tabulix::Exception naming the file when the chain loops, leaves the file, or holds another
  // number of records than the header says.
  static BlockIndex Build(const ReadOnlyFile& file, const ParadoxHeader& header);

  std::int64_t RecordCount() const { return recordCount_; }
  const std::vector<Block>& Blocks() const { return blocks_; }
  // Block holding record n (0 <= n < RecordCount()).
  Position Locate(std::int64_t n) const;
  std::uint64_t BlockOffset(std::uint16_t number) const {
    return headerSize_ + static_cast<std::uint64_t>(number - 1) * blockSize_;
  }

 private:
  std::vector<Block> blocks_;  // only blocks that hold records
  std::int64_t recordCount_ = 0;
  std::uint64_t headerSize_ = 0;
  std::uint64_t blockSize_ = 0;
};

}  // namespace tabulix::source::paradox
