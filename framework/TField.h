#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/FieldType.h"
#include "framework/FieldValue.h"

namespace tabulix {

class RecordAccess;
class TDataSet;

// A field object: one column of a dataset's active record, seen through the class of its field
// type. Values pass in and out as field values; each class converts them to its own kind.
// Reading with no active record gives null; writing needs the dataset in edit or insert state.
class TField {
 public:
  explicit TField(TFieldType dataType, int size = 0) : dataType_(dataType), size_(size) {}
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  TFieldType DataType() const { return dataType_; }
  bool IsBlob() const { return IsBlobType(dataType_); }

  const std::string& FieldName() const { return fieldName_; }
  void SetFieldName(std::string name) { fieldName_ = std::move(name); }
  const std::string& DisplayLabel() const { return displayLabel_; }
  void SetDisplayLabel(std::string label) { displayLabel_ = std::move(label); }
  // The label when one is set, else the field name; messages name fields by it.
  const std::string& DisplayName() const {
    return displayLabel_.empty() ? fieldName_ : displayLabel_;
  }

  int Size() const { return size_; }
  void SetSize(int size) { size_ = size; }
  bool Required() const { return required_; }
  void SetRequired(bool required) { required_ = required; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  const std::string& DefaultExpression() const { return defaultExpression_; }
  void SetDefaultExpression(std::string text) { defaultExpression_ = std::move(text); }
  const std::string& CustomConstraint() const { return customConstraint_; }
  void SetCustomConstraint(std::string text) { customConstraint_ = std::move(text); }

  // 1-based column number in the record; 0 while the field is not bound to a column.
  int FieldNo() const { return fieldNo_; }
  // Position in the dataset's field list; -1 when the field belongs to no dataset.
  int Index() const { return index_; }

  bool IsNull() const;
  // Makes the field null.
  void Clear();
  // The value as field value: null for a null field (blob classes give their content).
  virtual FieldValue Value() const;
  // The same value as Value(), without a copy where the record keeps it in the class's own
  // kind; otherwise made in scratch. Valid until the record changes or scratch is reused.
  virtual const FieldValue& ValueView(FieldValue& scratch) const;
  // Sets the field from a field value: null or empty clears it; a value the class cannot
  // convert raises "Ungültiger Wert für Feld '%s'" (EConvertError) with the display name.
  void SetValue(const FieldValue& value);

  // Typed access by the value conversion rules; a null field reads as 0, "" or false.
  std::string AsString() const;
  void SetAsString(std::string_view text) { SetValue(FieldValue::Bytes(std::string(text))); }
  std::int32_t AsInteger() const;
  void SetAsInteger(std::int32_t value) { SetValue(FieldValue::Integer(value)); }
  std::int64_t AsLargeint() const;
  void SetAsLargeint(std::int64_t value) { SetValue(FieldValue::Largeint(value)); }
  double AsFloat() const;
  void SetAsFloat(double value) { SetValue(FieldValue::Double(value)); }
  Currency AsCurrency() const;
  void SetAsCurrency(Currency value) { SetValue(FieldValue::FromCurrency(value)); }
  bool AsBoolean() const;
  void SetAsBoolean(bool value) { SetValue(FieldValue::Boolean(value)); }
  TDateTime AsDateTime() const;
  void SetAsDateTime(TDateTime value) { SetValue(FieldValue::DateTime(value)); }
  // The text a grid shows.
  virtual std::string DisplayText() const { return AsString(); }

  // Raises unless the dataset is editing or inserting and the field is writable.
  void CheckCanWrite() const;

 protected:
  // Converts a non-null value to the class's kind; raises EConvertError or EVariantError
  // when it does not convert. Also applied to stored values on reading.
  virtual FieldValue ConvertValue(FieldValue value) const = 0;
  // Whether a non-null value already is what ConvertValue would make of it.
  virtual bool IsOwnKind(const FieldValue& /*value*/) const { return false; }
  // Stores a converted value (or null) into the active record and signals the change.
  virtual void StoreValue(const FieldValue& value);

  RecordAccess* ActiveRecord() const;

 private:
  friend class TDataSet;
  // ValueView for a stored value that is missing, null or not of the class's own kind.
  [[gnu::noinline]] const FieldValue& ConvertedView(const FieldValue* stored,
                                                    FieldValue& scratch) const;
  void Attach(TDataSet* dataSet, int index) {
    dataSet_ = dataSet;
    index_ = index;
  }
  void Bind(int fieldNo) { fieldNo_ = fieldNo; }

  TDataSet* dataSet_ = nullptr;
  TFieldType dataType_;
  int size_ = 0;
  bool required_ = false;
  bool readOnly_ = false;
  int fieldNo_ = 0;
  int index_ = -1;
  std::string fieldName_;
  std::string displayLabel_;
  std::string defaultExpression_;
  std::string customConstraint_;
};

}  // namespace tabulix
