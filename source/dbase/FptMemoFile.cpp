#include "source/dbase/FptMemoFile.h"

#include "source/dbase/ByteOrder.h"

namespace tabulix::source::dbase {
namespace {

constexpr std::uint64_t kHeaderSize = 512;
constexpr std::uint32_t kBlockHeader = 8;

}  // namespace

FptMemoFile::FptMemoFile(ReadOnlyFile file) : MemoFile(std::move(file)) {
  unsigned char header[8];
  if (file_.ReadAt(0, header, sizeof header) != sizeof header) {
    Fail("not a FoxPro memo file (too short for its header)");
  }
  blockSize_ = LoadBE16(header + 6);
  if (blockSize_ == 0) Fail("damaged FoxPro memo file header (block size 0)");
}

std::string FptMemoFile::Read(std::uint32_t block) {
  if (std::uint64_t{block} * blockSize_ < kHeaderSize) {
    FailBlock(block, "is damaged (it points into the memo file header)");
  }
  std::uint64_t offset = BlockOffset(block, blockSize_, kBlockHeader);
  unsigned char head[kBlockHeader];
  file_.ReadExactly(offset, head, sizeof head, "memo file shrank while it was read");
  std::uint64_t length = LoadBE32(head + 4);
  if (file_.Size() - offset - kBlockHeader < length) {
    FailBlock(block, "runs past the end of the memo file");
  }
  std::string memo(static_cast<std::size_t>(length), '\0');
  file_.ReadExactly(offset + kBlockHeader, memo.data(), memo.size(),
                    "memo file shrank while it was read");
  return memo;
}

}  // namespace tabulix::source::dbase
