#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace tabulix::app {

// Collects output text and writes it to a file in large blocks; or, for tests, into a string.
// Writers append to Text() directly and call Commit() after each unit (a line).
class OutputBuffer {
 public:
  explicit OutputBuffer(std::FILE* file, std::size_t blockSize = 1 << 16);
  explicit OutputBuffer(std::string& target);
  // Writes what is left; a failure here is swallowed, so call Flush() to see it.
  ~OutputBuffer();
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  std::string& Text() { return text_; }
  void Append(std::string_view s) { text_.append(s); }
  void Append(char c) { text_.push_back(c); }
  // Writes the collected text once a block is full.
  void Commit() {
    if (text_.size() >= blockSize_) Flush();
  }
  // Writes everything collected; raises tabulix::Exception when the file refuses it.
  void Flush();

 private:
  std::FILE* file_ = nullptr;
  std::string* target_ = nullptr;
  std::size_t blockSize_;
  std::string text_;
};

}  // namespace tabulix::app
