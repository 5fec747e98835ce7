#pragma once

#include "framework/TField.h"

namespace tabulix {

// 64-bit integer field; hands over and accepts 64-bit integer field values.
class TLargeintField : public TField {
 public:
  TLargeintField() : TField(ftLargeint) {}

 protected:
  bool IsOwnKind(const FieldValue& value) const override {
    return value.kind() == FieldValue::Kind::Largeint;
  }
  FieldValue ConvertValue(FieldValue value) const override {
    if (value.kind() == FieldValue::Kind::Largeint) return value;
    return FieldValue::Largeint(value.AsLargeint());
  }
};

}  // namespace tabulix
