#pragma once

#include "framework/fields/TBytesField.h"

namespace tabulix {

// Binary field of variable length up to Size bytes.
class TVarBytesField : public TBytesField {
 public:
  explicit TVarBytesField(int size = 16) : TBytesField(ftVarBytes, size) {}
};

}  // namespace tabulix
