#pragma once

#include <string_view>

#include "framework/FieldValue.h"

namespace tabulix {

// The active record as a dataset subclass hands it to the framework. Records belong to the
// subclass; fields only read and write through this interface and convert what they get.
// A field's index is its FieldNo - 1, the position of its column in the record.
class RecordAccess {
 public:
  virtual ~RecordAccess() = default;

  virtual bool IsNull(int index) const = 0;
  // The stored value in the record's own kind; FieldValue::Null() for a null field.
  virtual FieldValue Read(int index) const = 0;
  // Stores a value already converted by the field; Null (or empty) makes the field null.
  virtual void Write(int index, const FieldValue& value) = 0;
  // The content of a blob or bytes field, empty for null. Valid until the record changes.
  virtual std::string_view BlobBytes(int index) const = 0;
  // Replaces the whole content; the field is present afterwards, also when bytes is empty.
  virtual void WriteBlob(int index, std::string_view bytes) = 0;
  // The stored value itself, for records that keep field values as such, so that readers can
  // skip a copy; nullptr otherwise. Valid until the record changes.
  virtual const FieldValue* Peek(int /*index*/) const { return nullptr; }
};

}  // namespace tabulix
