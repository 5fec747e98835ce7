#pragma once

#include "framework/TField.h"

namespace tabulix {

// Fixed-size binary field; its value is the raw bytes. Size is the byte count.
class TBytesField : public TField {
 public:
  explicit TBytesField(int size = 16) : TField(ftBytes, size) {}

 protected:
  TBytesField(TFieldType dataType, int size) : TField(dataType, size) {}
  bool IsOwnKind(const FieldValue& value) const override {
    return value.kind() == FieldValue::Kind::Bytes;
  }
  FieldValue ConvertValue(FieldValue value) const override {
    if (value.kind() == FieldValue::Kind::Bytes) return value;
    return FieldValue::Bytes(value.AsText());
  }
};

}  // namespace tabulix
