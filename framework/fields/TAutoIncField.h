#pragma once

#include <cstdint>

#include "framework/fields/TIntegerField.h"

namespace tabulix {

// 32-bit integer field whose values the table assigns.
class TAutoIncField : public TIntegerField {
 public:
  TAutoIncField() : TIntegerField(ftAutoInc, INT32_MIN, INT32_MAX) {}
};

}  // namespace tabulix
