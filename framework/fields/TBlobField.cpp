#include "framework/fields/TBlobField.h"

#include "framework/TDataSet.h"
#include "framework/TStream.h"

namespace tabulix {

FieldValue TBlobField::Value() const {
  if (!DataSet() || !ActiveRecord()) return FieldValue::Bytes({});
  auto stream = DataSet()->CreateBlobStream(const_cast<TBlobField&>(*this), bmRead);
  return FieldValue::Bytes(stream ? stream->ReadRest() : std::string());
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
