#pragma once

#include <cstddef>

namespace tabulix {

class TZDataset;

// Where a dataset's posted inserts go instead of one INSERT statement each (a bulk load).
// WriteInsert gets the record after the post's checks, with exactly the values the dataset's
// INSERT would carry; the dataset keeps nothing of it. What it raises fails the post.
class TZInsertWriter {
 public:
  virtual ~TZInsertWriter() = default;
  virtual void WriteInsert(TZDataset& dataset, const std::byte* record) = 0;
};

}  // namespace tabulix
