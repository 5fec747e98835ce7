#pragma once

#include "framework/TField.h"

namespace tabulix {

// A field of a type without a class of its own (ftUnknown and the structured types): values
// pass through unchanged.
class TUnknownField : public TField {
 public:
  explicit TUnknownField(TFieldType dataType = ftUnknown, int size = 0) : TField(dataType, size) {}

 protected:
  bool IsOwnKind(const FieldValue&) const override { return true; }
  FieldValue ConvertValue(FieldValue value) const override { return value; }
};

}  // namespace tabulix
