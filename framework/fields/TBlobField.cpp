#include "framework/fields/TBlobField.h"

#include "framework/RecordAccess.h"
#include "framework/TDataSet.h"
#include "framework/TStream.h"

namespace tabulix {

FieldValue TBlobField::Value() const {
  if (!DataSet() || !ActiveRecord()) return FieldValue::Bytes({});
  auto stream = DataSet()->CreateBlobStream(const_cast<TBlobField&>(*this), bmRead);
  return FieldValue::Bytes(stream ? stream->ReadRest() : std::string());
}

const FieldValue& TBlobField::ValueView(FieldValue& scratch) const {
  const RecordAccess* record = ActiveRecord();
  const FieldValue* stored = record ? record->Peek(FieldNo() - 1) : nullptr;
  if (stored && stored->kind() == FieldValue::Kind::Bytes) return *stored;
  scratch = Value();
  return scratch;
}

void TBlobField::StoreValue(const FieldValue& value) {
  if (value.IsNullOrEmpty()) {
    TField::StoreValue(value);
    return;
  }
  auto stream = DataSet()->CreateBlobStream(*this, bmWrite);
  if (!stream) return;
  stream->Write(value.bytes());
  stream->Flush();
}

std::string TBlobField::DisplayText() const {
  return IsNull() ? EmptyTag() : ContentTag();
}

}  // namespace tabulix
