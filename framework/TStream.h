#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tabulix {

enum TSeekOrigin : std::uint8_t { soBeginning, soCurrent, soEnd };

// A byte stream with a position counted from 0.
class TStream {
 public:
  TStream() = default;
  virtual ~TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Bytes actually read or written.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
  // New position; a target before the start is taken as the start.
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;
  virtual std::int64_t Size() const = 0;
  // Hands written bytes on to where they belong; errors raise here rather than on
  // destruction, where they are swallowed.
  virtual void Flush() {}

  std::int64_t Position() { return Seek(0, soCurrent); }
  // Everything from the current position to the end.
  std::string ReadRest();
  std::size_t Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
};

}  // namespace tabulix
