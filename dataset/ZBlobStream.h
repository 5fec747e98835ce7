#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/TBlobStreamMode.h"
#include "framework/TStream.h"

namespace tabulix {

class TDirBlob;
class TField;
class TSqlBuffer;
class TZDataset;

// A stream over the blob slot of one field of the dataset's active record, reading and
// writing the value in place (the slot's block grows with room ahead, so a value written in
// chunks costs linear time). Opening for writing (bmWrite, bmReadWrite) needs the dataset in
// edit or insert state ("Not in Insert or Edit mode"); bmWrite discards the value at once.
// A write, even of no bytes, makes the value present: an empty memo is '' and stays apart
// from a null one. Writing never shrinks a value. Flush (and the destructor, which swallows
// errors) tells the dataset that the field changed.
class TZMemoStream : public TStream {
 public:
  TZMemoStream(TZDataset& dataset, TField& field, TBlobStreamMode mode);
  ~TZMemoStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  using TStream::Write;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  // The value's length; 0 for a null value.
  std::int64_t Size() const override;
  void Flush() override;

 protected:
  TZDataset& Dataset() const { return dataset_; }
  TSqlBuffer& Buffer() const { return buffer_; }
  std::byte* Record() const { return record_; }
  int Desc() const { return desc_; }
  bool Modified() const { return modified_; }

 private:
  TZDataset& dataset_;
  TField& field_;
  TSqlBuffer& buffer_;
  std::byte* record_ = nullptr;
  int desc_ = -1;
  std::size_t position_ = 0;
  bool opened_ = false;
  bool modified_ = false;
};

// The stream of a slot whose value a server blob object holds (a blob kind other than 0; no
// MySQL slot is one). Opening for reading fetches the value from the server in chunks of
// 1,024 bytes when the slot holds none yet ("Can't read the blob"); Flush after a change
// replaces the server's value ("Can't remove the blob", "Can't create the blob") and stores
// the new handle in the slot.
class TZBlobStream : public TZMemoStream {
 public:
  TZBlobStream(TZDataset& dataset, TField& field, TBlobStreamMode mode,
               std::unique_ptr<TDirBlob> blob);
  ~TZBlobStream() override;

  void Flush() override;

 private:
  static constexpr std::size_t kChunk = 1024;
  std::unique_ptr<TDirBlob> blob_;
};

}  // namespace tabulix
