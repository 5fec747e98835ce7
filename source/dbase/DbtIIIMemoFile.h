#pragma once

#include "source/dbase/MemoFile.h"

namespace tabulix::source::dbase {

// dBase III .dbt: 512-byte blocks; a memo runs from its block up to the first 0x1A byte and
// has no length, so it cannot hold binary data.
class DbtIIIMemoFile final : public MemoFile {
 public:
  explicit DbtIIIMemoFile(ReadOnlyFile file) : MemoFile(std::move(file)) {}
  std::string Read(std::uint32_t block) override;
};

}  // namespace tabulix::source::dbase
