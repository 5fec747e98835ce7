#include "source/dbase/DbtIVMemoFile.h"

#include "source/dbase/ByteOrder.h"

namespace tabulix::source::dbase {
namespace {

constexpr unsigned char kSignature[4] = {0xFF, 0xFF, 0x08, 0x00};
constexpr std::uint32_t kBlockHeader = 8;

}  // namespace

DbtIVMemoFile::DbtIVMemoFile(ReadOnlyFile file) : MemoFile(std::move(file)) {
  unsigned char header[22];
  if (file_.ReadAt(0, header, sizeof header) != sizeof header) {
    Fail("not a dBase IV memo file (too short for its header)");
  }
  std::uint16_t size = LoadLE16(header + 20);
  if (size != 0) blockSize_ = size;
}

std::string DbtIVMemoFile::Read(std::uint32_t block) {
  std::uint64_t offset = BlockOffset(block, blockSize_, kBlockHeader);
  unsigned char head[kBlockHeader];
  file_.ReadExactly(offset, head, sizeof head, "memo file shrank while it was read");
  if (head[0] != kSignature[0] || head[1] != kSignature[1] || head[2] != kSignature[2] ||
      head[3] != kSignature[3]) {
    FailBlock(block, "is damaged (no memo block signature)");
  }
  std::uint32_t length = LoadLE32(head + 4);
  if (length < kBlockHeader) FailBlock(block, "is damaged (length below 8)");
  std::uint64_t dataLength = length - kBlockHeader;
  if (file_.Size() - offset - kBlockHeader < dataLength) {
    FailBlock(block, "runs past the end of the memo file");
  }
  std::string memo(static_cast<std::size_t>(dataLength), '\0');
  file_.ReadExactly(offset + kBlockHeader, memo.data(), memo.size(),
                    "memo file shrank while it was read");
  return memo;
}

}  // namespace tabulix::source::dbase
