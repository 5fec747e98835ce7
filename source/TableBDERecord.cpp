#include "source/TableBDERecord.h"

#include "framework/DataSetMessages.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/NumberText.h"

namespace tabulix::source {

void TableBDERecord::BadIndex(int index) {
  throw EListError(FormatMessage(messages::kListIndexError, {IntToStr(index)}));
}

FieldValue TableBDERecord::Read(int index) const {
  const FieldValue& v = values_[Slot(index)];
  return v.IsNullOrEmpty() ? FieldValue::Null() : v;
}

std::string_view TableBDERecord::BlobBytes(int index) const {
  const FieldValue& v = values_[Slot(index)];
  return v.kind() == FieldValue::Kind::Bytes ? std::string_view(v.bytes()) : std::string_view();
}

void TableBDERecord::Write(int, const FieldValue&) {
  throw EDatabaseError(messages::kDataSetReadOnly);
}

void TableBDERecord::WriteBlob(int, std::string_view) {
  throw EDatabaseError(messages::kDataSetReadOnly);
}

}  // namespace tabulix::source
