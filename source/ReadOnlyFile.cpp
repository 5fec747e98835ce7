#include "source/ReadOnlyFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "framework/Exceptions.h"

namespace tabulix::source {

ReadOnlyFile::ReadOnlyFile(std::string path) : path_(std::move(path)) {
  fd_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) throw Exception(path_ + ": cannot open the file (" + std::strerror(errno) + ")");
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    Close();
    throw Exception(path_ + ": not a regular file");
  }
  size_ = static_cast<std::uint64_t>(st.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
  Close();
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1)), size_(other.size_) {}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    Close();
    path_ = std::move(other.path_);
    fd_ = std::exchange(other.fd_, -1);
    size_ = other.size_;
  }
  return *this;
}

void ReadOnlyFile::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::size_t ReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t length) const {
  // The size seen at open bounds every read, even if the file grows meanwhile.
  if (offset >= size_) return 0;
  if (length > size_ - offset) length = static_cast<std::size_t>(size_ - offset);
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < length) {
    ssize_t n = ::pread(fd_, out + done, length - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Exception(path_ + ": read error (" + std::strerror(errno) + ")");
    }
    if (n == 0) break;  // the file shrank since it was opened
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool ReadOnlyFile::ReadFully(std::uint64_t offset, void* buffer, std::size_t length) const {
  if (!Contains(offset, length)) return false;
  return ReadAt(offset, buffer, length) == length;
}

void ReadOnlyFile::ReadExactly(std::uint64_t offset, void* buffer, std::size_t length,
                               const std::string& what) const {
  if (!ReadFully(offset, buffer, length)) throw Exception(path_ + ": " + what);
}

}  // namespace tabulix::source
