#pragma once

#include <string>

#include "framework/TStream.h"

namespace tabulix {

// A stream over bytes held in memory; writing past the end grows it.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  using TStream::Write;
  std::size_t Write(const void* buffer, std::size_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }

  const std::string& Bytes() const { return data_; }

 private:
  std::string data_;
  std::size_t position_ = 0;
};

}  // namespace tabulix
