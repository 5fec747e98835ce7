#pragma once

#include <string_view>

namespace tabulix::source {

// Whether bytes hold anything beyond ASCII and, if so, whether all of it forms valid UTF-8
// (shortest forms, no surrogates, nothing above U+10FFFF).
enum class Utf8Shape { Ascii, Utf8, NotUtf8 };

Utf8Shape ClassifyUtf8(std::string_view bytes);
// Whether no byte has its top bit set.
bool IsAsciiText(std::string_view bytes);

// Decides over many texts whether a table holds UTF-8: yes once some text held a multi-byte
// sequence and none held an invalid one. Stops looking at the first invalid one.
class Utf8Detector {
 public:
  // Gives false once the answer is no, so that a caller can stop reading.
  bool Add(std::string_view bytes) {
    if (invalid_) return false;
    Utf8Shape shape = ClassifyUtf8(bytes);
    if (shape == Utf8Shape::NotUtf8) invalid_ = true;
    if (shape == Utf8Shape::Utf8) multiByte_ = true;
    return !invalid_;
  }
  bool Finished() const { return invalid_; }
  bool IsUtf8() const { return multiByte_ && !invalid_; }

 private:
  bool multiByte_ = false;
  bool invalid_ = false;
};

}  // namespace tabulix::source
