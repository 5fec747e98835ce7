#pragma once

#include "source/dbase/MemoFile.h"

namespace tabulix::source::dbase {

// dBase IV, 5 and 7 .dbt: the block size is in the header; each memo block starts with the
// signature FF FF 08 00 and a length that counts these 8 bytes.
class DbtIVMemoFile final : public MemoFile {
 public:
  explicit DbtIVMemoFile(ReadOnlyFile file);
  std::string Read(std::uint32_t block) override;

 private:
  std::uint32_t blockSize_ = 512;
};

}  // namespace tabulix::source::dbase
