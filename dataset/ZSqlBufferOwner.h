#pragma once

#include <cstddef>

#include "framework/SharedEnums.h"

namespace tabulix {

class TSqlBuffer;

// What a record buffer needs of the dataset that owns it.
class TSqlBufferOwner {
 public:
  virtual ~TSqlBufferOwner() = default;

  // The dialect in which value texts are written.
  virtual ServerKind DatabaseType() const = 0;
  // Runs after a record was copied into dest (blob values already duplicated).
  virtual void AfterCopyRecord(TSqlBuffer& buffer, const std::byte* source, std::byte* dest) = 0;
  // Runs before a record's blob values are freed.
  virtual void BeforeClearRecord(TSqlBuffer& buffer, std::byte* record) = 0;
  // Progress of a long run: stage 0 before, 1 per step, 2 after. Setting cancel asks the
  // run to stop where it can.
  virtual void DoProgress(int stage, int proc, int position, int max, bool& cancel) = 0;
  // The dataset's own test of a record, after its status and link values passed the
  // buffer's record filter (for filters the dataset evaluates itself).
  virtual bool AcceptRecord(const TSqlBuffer& buffer, const std::byte* record) = 0;
};

}  // namespace tabulix
