#pragma once

#include "framework/TField.h"

namespace tabulix {

// Logical field.
class TBooleanField : public TField {
 public:
  TBooleanField() : TField(ftBoolean) {}

 protected:
  bool IsOwnKind(const FieldValue& value) const override {
    return value.kind() == FieldValue::Kind::Boolean;
  }
  FieldValue ConvertValue(FieldValue value) const override {
    if (value.kind() == FieldValue::Kind::Boolean) return value;
    return FieldValue::Boolean(value.AsBoolean());
  }
};

}  // namespace tabulix
