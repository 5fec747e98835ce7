#include "framework/TField.h"

#include "framework/DataSetMessages.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/RecordAccess.h"
#include "framework/TDataSet.h"

namespace tabulix {

RecordAccess* TField::ActiveRecord() const {
  if (!dataSet_ || fieldNo_ < 1) return nullptr;
  return dataSet_->ActiveRecord();
}

bool TField::IsNull() const {
  const RecordAccess* record = ActiveRecord();
  return !record || record->IsNull(fieldNo_ - 1);
}

FieldValue TField::Value() const {
  const RecordAccess* record = ActiveRecord();
  if (!record) return FieldValue::Null();
  FieldValue stored = record->Read(fieldNo_ - 1);
  if (stored.IsNullOrEmpty()) return FieldValue::Null();
  return ConvertValue(std::move(stored));
}

const FieldValue& TField::ValueView(FieldValue& scratch) const {
  const RecordAccess* record = ActiveRecord();
  const FieldValue* stored = record ? record->Peek(fieldNo_ - 1) : nullptr;
  // The common case stays small; conversions and copies live in the out-of-line part.
  if (stored && !stored->IsNullOrEmpty() && IsOwnKind(*stored)) return *stored;
  return ConvertedView(stored, scratch);
}

const FieldValue& TField::ConvertedView(const FieldValue* stored, FieldValue& scratch) const {
  if (!stored) {
    scratch = Value();
  } else if (stored->IsNullOrEmpty()) {
    scratch = FieldValue::Null();
  } else {
    scratch = ConvertValue(*stored);
  }
  return scratch;
}

void TField::CheckCanWrite() const {
  if (!dataSet_ || !dataSet_->Active()) throw EDatabaseError(messages::kDataSetClosed);
  TDataSetState state = dataSet_->State();
  if (state != dsEdit && state != dsInsert) throw EDatabaseError(messages::kNotEditing);
  if (readOnly_) throw EDatabaseError(FormatMessage(messages::kFieldReadOnly, {DisplayName()}));
  if (fieldNo_ < 1) throw EDatabaseError(FormatMessage(messages::kFieldNotFound, {DisplayName()}));
}

void TField::Clear() {
  CheckCanWrite();
  StoreValue(FieldValue::Null());
}

void TField::SetValue(const FieldValue& value) {
  CheckCanWrite();
  if (value.IsNullOrEmpty()) {
    StoreValue(FieldValue::Null());
    return;
  }
  FieldValue converted;
  try {
    converted = ConvertValue(value);
  } catch (const EConvertError&) {
    throw EConvertError(FormatMessage(messages::kInvalidFieldValue, {DisplayName()}));
  } catch (const EVariantError&) {
    throw EConvertError(FormatMessage(messages::kInvalidFieldValue, {DisplayName()}));
  }
  StoreValue(converted);
}

void TField::StoreValue(const FieldValue& value) {
  ActiveRecord()->Write(fieldNo_ - 1, value);
  dataSet_->FieldChanged(*this);
}

std::string TField::AsString() const {
  return Value().AsText();
}

std::int32_t TField::AsInteger() const {
  FieldValue v = Value();
  return v.IsNull() ? 0 : v.AsInteger();
}

std::int64_t TField::AsLargeint() const {
  FieldValue v = Value();
  return v.IsNull() ? 0 : v.AsLargeint();
}

double TField::AsFloat() const {
  FieldValue v = Value();
  return v.IsNull() ? 0.0 : v.AsDouble();
}

Currency TField::AsCurrency() const {
  FieldValue v = Value();
  return v.IsNull() ? Currency{} : v.AsCurrency();
}

bool TField::AsBoolean() const {
  FieldValue v = Value();
  return !v.IsNull() && v.AsBoolean();
}

TDateTime TField::AsDateTime() const {
  FieldValue v = Value();
  return v.IsNull() ? 0.0 : v.AsDateTime();
}

}  // namespace tabulix
