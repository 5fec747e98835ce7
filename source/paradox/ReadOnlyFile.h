#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tabulix::source::paradox {

// A file opened for reading by position (pread). Owns the descriptor; move-only.
class ReadOnlyFile {
 public:
  // Raises tabulix::Exception naming the file when it cannot be opened or is no regular file.
  explicit ReadOnlyFile(const std::string& path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;

  const std::string& Path() const { return path_; }
  // Size when the file was opened; every read is checked against it.
  std::uint64_t Size() const { return size_; }
  bool Contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Reads exactly length bytes at offset; false when the range is not wholly in the file or
  // the read comes up short.
  bool ReadAt(std::uint64_t offset, void* buffer, std::size_t length) const;

 private:
  void Close() noexcept;

  std::string path_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

}  // namespace tabulix::source::paradox
