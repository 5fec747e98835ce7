#pragma once

#include "framework/TField.h"

namespace tabulix {

// Double-precision floating field.
class TFloatField : public TField {
 public:
  TFloatField() : TField(ftFloat) {}

 protected:
  explicit TFloatField(TFieldType dataType) : TField(dataType) {}
  FieldValue ConvertValue(FieldValue value) const override;
  bool IsOwnKind(const FieldValue& value) const override {
    return value.kind() == FieldValue::Kind::Double;
  }
};

}  // namespace tabulix
