#include "source/dbase/MemoFile.h"

#include "framework/Exceptions.h"
#include "source/dbase/DbtIIIMemoFile.h"
#include "source/dbase/DbtIVMemoFile.h"
#include "source/dbase/FptMemoFile.h"

namespace tabulix::source::dbase {

void MemoFile::Fail(const std::string& what) const {
  throw Exception(Path() + ": " + what);
}

void MemoFile::FailBlock(std::uint32_t block, const std::string& what) const {
  Fail("memo block " + std::to_string(block) + " " + what);
}

std::uint64_t MemoFile::BlockOffset(std::uint32_t block, std::uint64_t blockSize,
                                    std::uint64_t needed) const {
  std::uint64_t offset = std::uint64_t{block} * blockSize;
  if (offset >= file_.Size() || file_.Size() - offset < needed) {
    FailBlock(block, "lies outside the memo file (" + std::to_string(file_.Size()) + " bytes)");
  }
  return offset;
}

std::unique_ptr<MemoFile> OpenMemoFile(MemoKind kind, const std::string& path) {
  ReadOnlyFile file(path);
  switch (kind) {
    case MemoKind::DbtIII:
      return std::make_unique<DbtIIIMemoFile>(std::move(file));
    case MemoKind::DbtIV:
      return std::make_unique<DbtIVMemoFile>(std::move(file));
    case MemoKind::Fpt:
      return std::make_unique<FptMemoFile>(std::move(file));
    case MemoKind::None:
      break;
  }
  throw Exception(path + ": no memo file layout known for this table");
}

}  // namespace tabulix::source::dbase
