#include "app/core/OutputBuffer.h"

#include <cerrno>
#include <cstring>

#include "framework/Exceptions.h"

namespace tabulix::app {

OutputBuffer::OutputBuffer(std::FILE* file, std::size_t blockSize)
    : file_(file), blockSize_(blockSize) {
  text_.reserve(blockSize_ + blockSize_ / 4);
}

OutputBuffer::OutputBuffer(std::string& target) : target_(&target), blockSize_(1 << 16) {}

OutputBuffer::~OutputBuffer() {
  try {
    Flush();
  } catch (...) {
    // Reported by an explicit Flush; nothing more can be done here.
  }
}

void OutputBuffer::Flush() {
  if (target_) {
    target_->append(text_);
  } else if (!text_.empty()) {
    if (std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size() ||
        std::fflush(file_) != 0) {
      int error = errno;
      text_.clear();
      throw Exception(std::string("cannot write the output: ") + std::strerror(error));
    }
  }
  text_.clear();
}

}  // namespace tabulix::app
