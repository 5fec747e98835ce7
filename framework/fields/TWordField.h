#pragma once

#include "framework/fields/TIntegerField.h"

namespace tabulix {

// 16-bit unsigned integer field.
class TWordField : public TIntegerField {
 public:
  TWordField() : TIntegerField(ftWord, 0, 65535) {}
};

}  // namespace tabulix
