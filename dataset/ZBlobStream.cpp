#include "dataset/ZBlobStream.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "dataset/ZDirBlob.h"
#include "dataset/ZQuery.h"
#include "dataset/ZRecordLayout.h"
#include "framework/Exceptions.h"

namespace tabulix {

using namespace record;

TZMemoStream::TZMemoStream(TZDataset& dataset, TField& field, TBlobStreamMode mode)
    : dataset_(dataset), field_(field), buffer_(dataset.MainBuffer()) {
  desc_ = buffer_.SqlFields().FindByField(&field);
  record_ = dataset.ActiveRecordBuffer();
  if (desc_ < 0 || !record_) throw EDatabaseError("Internal fatal error");
  if (mode != bmRead && dataset.State() != dsEdit && dataset.State() != dsInsert) {
    throw EDatabaseError("Not in Insert or Edit mode");
  }
  opened_ = true;
  if (mode == bmWrite) {
    buffer_.SetNull(record_, desc_, true);
    modified_ = true;
  }
}

TZMemoStream::~TZMemoStream() {
  try {
    TZMemoStream::Flush();
  } catch (...) {
    // A destructor cannot raise; callers that care call Flush themselves.
  }
}

std::size_t TZMemoStream::Read(void* buffer, std::size_t count) {
  if (!opened_ || buffer_.IsNull(record_, desc_)) return 0;
  const std::string_view value = buffer_.BlobValue(record_, desc_);
  if (position_ >= value.size()) return 0;
  const std::size_t n = std::min(count, value.size() - position_);
  std::memcpy(buffer, value.data() + position_, n);
  position_ += n;
  return n;
}

std::size_t TZMemoStream::Write(const void* buffer, std::size_t count) {
  if (!opened_) return 0;
  const std::size_t length = static_cast<std::size_t>(Size());
  const std::size_t end = position_ + count;
  if (end < position_ || end >= std::numeric_limits<std::uint32_t>::max()) {
    throw Exception("Blob value too large");
  }
  char* data = buffer_.BlobData(record_, desc_, static_cast<std::uint32_t>(std::max(length, end)));
  if (count) std::memcpy(data + position_, buffer, count);
  position_ = end;
  modified_ = true;
  return count;
}

std::int64_t TZMemoStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const std::int64_t base = origin == soBeginning ? 0
                            : origin == soCurrent ? static_cast<std::int64_t>(position_)
                                                  : Size();
  position_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
  return static_cast<std::int64_t>(position_);
}

std::int64_t TZMemoStream::Size() const {
  if (buffer_.IsNull(record_, desc_)) return 0;
  return static_cast<std::int64_t>(buffer_.BlobValue(record_, desc_).size());
}

void TZMemoStream::Flush() {
  if (!modified_) return;
  modified_ = false;
  dataset_.FieldChanged(field_);
}

namespace {

std::uint64_t SlotHandle(TSqlBuffer& buffer, const std::byte* record, int desc) {
  std::byte raw[kBlobDataSize] = {};
  if (!buffer.GetRaw(record, desc, raw)) return 0;
  return std::uint64_t{Load<std::uint32_t>(raw + kBlobIdHighOffset)} << 32 |
         Load<std::uint32_t>(raw + kBlobIdLowOffset);
}

void SetSlotHandle(TSqlBuffer& buffer, std::byte* record, int desc, std::uint64_t handle) {
  std::byte raw[kBlobDataSize] = {};
  buffer.GetRaw(record, desc, raw);
  Store(raw + kBlobKindOffset, buffer.SqlFields()[desc].BlobKind);
  Store(raw + kBlobIdLowOffset, static_cast<std::uint32_t>(handle));
  Store(raw + kBlobIdHighOffset, static_cast<std::uint32_t>(handle >> 32));
  buffer.SetRaw(record, desc, raw);
}

}  // namespace

TZBlobStream::TZBlobStream(TZDataset& dataset, TField& field, TBlobStreamMode mode,
                           std::unique_ptr<TDirBlob> blob)
    : TZMemoStream(dataset, field, mode), blob_(std::move(blob)) {
  blob_->SetHandle(SlotHandle(Buffer(), Record(), Desc()));
  if (mode == bmWrite || !Buffer().BlobValue(Record(), Desc()).empty()) return;
  if (blob_->Handle() == 0) return;  // no value on the server either
  blob_->Open(0);
  if (!blob_->Ok()) throw EDatabaseError("Can't read the blob");
  std::string value;
  char chunk[kChunk];
  for (;;) {
    const std::size_t n = blob_->Read(chunk, kChunk);
    value.append(chunk, n);
    if (n < kChunk) break;
  }
  blob_->Close();
  Dataset().CacheBlobValue(Desc(), value);
}

TZBlobStream::~TZBlobStream() {
  try {
    TZBlobStream::Flush();
  } catch (...) {
    // As the memo stream: errors of a flush on destruction are swallowed.
  }
}

void TZBlobStream::Flush() {
  if (!Modified()) return;
  if (blob_->Handle() != 0) {
    blob_->Remove();
    if (!blob_->Ok()) throw EDatabaseError("Can't remove the blob");
  }
  const std::string_view value = Buffer().BlobValue(Record(), Desc());
  std::uint64_t handle = 0;
  if (!value.empty()) {
    blob_->Create();
    if (!blob_->Ok()) throw EDatabaseError("Can't create the blob");
    for (std::size_t at = 0; at < value.size(); at += kChunk) {
      const std::size_t n = std::min(kChunk, value.size() - at);
      if (blob_->Write(value.data() + at, n) != n || !blob_->Ok()) {
        throw EDatabaseError("Can't create the blob");
      }
    }
    blob_->Close();
    handle = blob_->Handle();
  }
  SetSlotHandle(Buffer(), Record(), Desc(), handle);
  TZMemoStream::Flush();
}

}  // namespace tabulix
