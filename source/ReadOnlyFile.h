#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tabulix::source {

// A file opened for reading only, read by offset with pread. Every read is checked against the
// file's end, so a damaged offset can never reach outside the file. Move-only.
class ReadOnlyFile {
 public:
  // Raises tabulix::Exception naming the path when the file cannot be opened or is no regular
  // file.
  explicit ReadOnlyFile(std::string path);
  ~ReadOnlyFile();
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
  ReadOnlyFile(ReadOnlyFile&& other) noexcept;
  ReadOnlyFile& operator=(ReadOnlyFile&& other) noexcept;

  const std::string& Path() const { return path_; }
  std::uint64_t Size() const { return size_; }
  bool Contains(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

  // Up to length bytes from offset; fewer only at the end of the file.
  std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t length) const;
  // Exactly length bytes from offset; false when the range is not wholly in the file or the
  // file shrank since it was opened.
  bool ReadFully(std::uint64_t offset, void* buffer, std::size_t length) const;
  // Exactly length bytes from offset; raises tabulix::Exception with `what` when the file
  // ends before.
  void ReadExactly(std::uint64_t offset, void* buffer, std::size_t length,
                   const std::string& what) const;

 private:
  void Close() noexcept;

  std::string path_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

}  // namespace tabulix::source
