#include "framework/TBlobStream.h"

#include <algorithm>
#include <cstring>

#include "framework/DataSetMessages.h"
#include "framework/Exceptions.h"
#include "framework/RecordAccess.h"
#include "framework/TDataSet.h"
#include "framework/TField.h"

namespace tabulix {

TBlobStream::TBlobStream(TField& field, TBlobStreamMode mode) : field_(field) {
  TDataSet* dataSet = field.DataSet();
  if (dataSet) record_ = dataSet->ActiveRecord();
  writing_ = mode != bmRead;
  if (writing_) field.CheckCanWrite();
  if (!record_ || field.FieldNo() < 1) return;
  int index = field.FieldNo() - 1;
  if (mode == bmRead) {
    view_ = record_->BlobBytes(index);
  } else if (mode == bmReadWrite) {
    buffer_ = std::string(record_->BlobBytes(index));
  } else {
    modified_ = true;  // write mode replaces the value even when nothing is written
  }
}

TBlobStream::~TBlobStream() {
  try {
    Flush();
  } catch (...) {
    // A destructor must not throw; callers that care call Flush themselves.
  }
}

std::size_t TBlobStream::Read(void* buffer, std::size_t count) {
  std::string_view content = Content();
  if (position_ >= content.size()) return 0;
  std::size_t n = std::min(count, content.size() - position_);
  std::memcpy(buffer, content.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TBlobStream::Write(const void* buffer, std::size_t count) {
  if (!writing_ || count == 0) return 0;
  if (position_ + count > buffer_.size()) buffer_.resize(position_ + count);
  std::memcpy(buffer_.data() + position_, buffer, count);
  position_ += count;
  modified_ = true;
  return count;
}

std::int64_t TBlobStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  std::int64_t base = origin == soBeginning ? 0
                      : origin == soCurrent ? static_cast<std::int64_t>(position_)
                                            : Size();
  position_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
  return static_cast<std::int64_t>(position_);
}

std::int64_t TBlobStream::Size() const {
  return static_cast<std::int64_t>(Content().size());
}

void TBlobStream::Flush() {
  if (!modified_ || !record_ || field_.FieldNo() < 1) return;
  modified_ = false;
  record_->WriteBlob(field_.FieldNo() - 1, buffer_);
  if (TDataSet* dataSet = field_.DataSet()) dataSet->FieldChanged(field_);
}

}  // namespace tabulix
