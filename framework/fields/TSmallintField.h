#pragma once

#include "framework/fields/TIntegerField.h"

namespace tabulix {

// 16-bit signed integer field.
class TSmallintField : public TIntegerField {
 public:
  TSmallintField() : TIntegerField(ftSmallint, -32768, 32767) {}
};

}  // namespace tabulix
