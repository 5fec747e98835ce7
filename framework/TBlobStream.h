#pragma once

#include <string>
#include <string_view>

#include "framework/TBlobStreamMode.h"
#include "framework/TStream.h"

namespace tabulix {

class RecordAccess;
class TField;

// The framework's stream over a blob field of the active record. Reading works on the record's
// bytes in place; writing collects the new content and hands it to the record on Flush (or on
// destruction, where a failure is swallowed). Write mode starts from an empty value; read-write
// starts from the present one. Writing needs the dataset in edit or insert state.
class TBlobStream : public TStream {
 public:
  TBlobStream(TField& field, TBlobStreamMode mode);
  ~TBlobStream() override;

  std::size_t Read(void* buffer, std::size_t count) override;
  using TStream::Write;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() const override;
  // Stores the written content into the record and signals the field change.
  void Flush() override;

 private:
  std::string_view Content() const { return writing_ ? std::string_view(buffer_) : view_; }

  TField& field_;
  RecordAccess* record_ = nullptr;
  bool writing_ = false;   // bmWrite or bmReadWrite: buffer_ holds the content
  bool modified_ = false;  // buffer_ differs from what the record holds
  std::string_view view_;  // bmRead: the record's bytes
  std::string buffer_;
  std::size_t position_ = 0;
};

}  // namespace tabulix
