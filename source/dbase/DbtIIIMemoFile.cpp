#include "source/dbase/DbtIIIMemoFile.h"

#include <cstring>

namespace tabulix::source::dbase {
namespace {

constexpr std::uint64_t kBlockSize = 512;
constexpr char kTerminator = 0x1A;

}  // namespace

std::string DbtIIIMemoFile::Read(std::uint32_t block) {
  std::uint64_t offset = BlockOffset(block, kBlockSize, 1);
  std::string memo;
  char chunk[kBlockSize];
  // A memo without terminator ends with the file.
  for (;;) {
    std::size_t got = file_.ReadAt(offset, chunk, sizeof chunk);
    if (got == 0) break;
    const void* end = std::memchr(chunk, kTerminator, got);
    if (end) {
      memo.append(chunk, static_cast<const char*>(end) - chunk);
      break;
    }
    memo.append(chunk, got);
    offset += got;
  }
  return memo;
}

}  // namespace tabulix::source::dbase
