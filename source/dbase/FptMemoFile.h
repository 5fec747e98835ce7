#pragma once

#include "source/dbase/MemoFile.h"

namespace tabulix::source::dbase {

// FoxPro and Visual FoxPro .fpt: big-endian header with the block size; each memo block starts
// with a type word and the data length (without these 8 bytes).
class FptMemoFile final : public MemoFile {
 public:
  explicit FptMemoFile(ReadOnlyFile file);
  std::string Read(std::uint32_t block) override;

 private:
  std::uint32_t blockSize_ = 64;
};

}  // namespace tabulix::source::dbase
