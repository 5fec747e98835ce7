#include "dataset/ZRecordAccess.h"

#include "framework/Exceptions.h"

namespace tabulix {

int TZRecordAccess::Desc(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= map_.size() || map_[index] < 0) {
    throw EDatabaseError("Fatal internal error");
  }
  return map_[static_cast<std::size_t>(index)];
}

}  // namespace tabulix
