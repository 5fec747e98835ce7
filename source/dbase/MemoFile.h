#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "source/ReadOnlyFile.h"
#include "source/dbase/DbaseHeader.h"

namespace tabulix::source::dbase {

// A memo file beside a table (.dbt or .fpt): memo values live in blocks that the records
// address by block number.
class MemoFile {
 public:
  explicit MemoFile(ReadOnlyFile file) : file_(std::move(file)) {}
  virtual ~MemoFile() = default;
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;

  const std::string& Path() const { return file_.Path(); }

  // The stored bytes of the memo that starts at the given block (never 0). Raises
  // tabulix::Exception naming the memo file when the block lies outside it or is damaged.
  virtual std::string Read(std::uint32_t block) = 0;

 protected:
  [[noreturn]] void Fail(const std::string& what) const;
  [[noreturn]] void FailBlock(std::uint32_t block, const std::string& what) const;
  // Byte offset of a block, checked to leave at least `needed` bytes before the end of the file.
  std::uint64_t BlockOffset(std::uint32_t block, std::uint64_t blockSize,
                            std::uint64_t needed) const;

  ReadOnlyFile file_;
};

// Opens the memo file at path in the given layout; raises tabulix::Exception when the file
// cannot be opened or its header is damaged.
std::unique_ptr<MemoFile> OpenMemoFile(MemoKind kind, const std::string& path);

}  // namespace tabulix::source::dbase
