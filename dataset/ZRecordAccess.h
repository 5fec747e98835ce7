#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "dataset/ZSqlBuffer.h"
#include "framework/RecordAccess.h"

namespace tabulix {

// The one road from the framework's fields to a dataset record: a view of (buffer, record)
// that reads and writes through the buffer's slots. A field's index is its FieldNo - 1, its
// column in the result; the adapter maps it to the field's description, which stands in field
// order (persistent fields may list the columns in another order).
class TZRecordAccess final : public RecordAccess {
 public:
  explicit TZRecordAccess(TSqlBuffer& buffer) : buffer_(buffer) {}

  // Column index -> description index; -1 where no field shows the column.
  void SetMap(std::vector<int> map) { map_ = std::move(map); }
  void Clear() { map_.clear(); }
  // The record the next calls work on.
  void Bind(std::byte* record) { record_ = record; }
  std::byte* Record() const { return record_; }
  // The description index of a column; "Fatal internal error" when no field shows it.
  int Desc(int index) const;

  bool IsNull(int index) const override { return buffer_.IsNull(record_, Desc(index)); }
  FieldValue Read(int index) const override { return buffer_.GetFieldValue(record_, Desc(index)); }
  void Write(int index, const FieldValue& value) override {
    buffer_.SetFieldValue(record_, Desc(index), value);
  }
  std::string_view BlobBytes(int index) const override {
    return buffer_.BlobValue(record_, Desc(index));
  }
  void WriteBlob(int index, std::string_view bytes) override {
    buffer_.SetBlobValue(record_, Desc(index), bytes);
  }

 private:
  TSqlBuffer& buffer_;
  std::byte* record_ = nullptr;
  std::vector<int> map_;
};

}  // namespace tabulix
