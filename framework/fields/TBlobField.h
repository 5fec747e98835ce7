#pragma once

#include "framework/TField.h"

namespace tabulix {

// Binary large object. Its value is the whole content as a byte string and is never null:
// a null or empty blob gives the empty string. Reading and writing pass through the dataset's
// blob stream. Also serves the formatted-memo, OLE and typed-binary field types.
class TBlobField : public TField {
 public:
  explicit TBlobField(TFieldType dataType = ftBlob) : TField(dataType) {}

  FieldValue Value() const override;
  const FieldValue& ValueView(FieldValue& scratch) const override;
  std::string DisplayText() const override;

 protected:
  FieldValue ConvertValue(FieldValue value) const override {
    if (value.kind() == FieldValue::Kind::Bytes) return value;
    return FieldValue::Bytes(value.AsText());
  }
  void StoreValue(const FieldValue& value) override;
  // Shown in a grid instead of the content: for an empty and for a present value.
  virtual const char* EmptyTag() const { return "(Blob)"; }
  virtual const char* ContentTag() const { return "(BLOB)"; }
};

}  // namespace tabulix
