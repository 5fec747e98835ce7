#pragma once

#include "framework/TField.h"

namespace tabulix {

// Character field: its value is the text as a byte string; Size is the declared length.
class TStringField : public TField {
 public:
  explicit TStringField(int size = 20, TFieldType dataType = ftString) : TField(dataType, size) {}

 protected:
  bool IsOwnKind(const FieldValue& value) const override {
    return value.kind() == FieldValue::Kind::Bytes;
  }
  FieldValue ConvertValue(FieldValue value) const override {
    if (value.kind() == FieldValue::Kind::Bytes) return value;
    return FieldValue::Bytes(value.AsText());
  }
};

}  // namespace tabulix
