#pragma once

#include <stdexcept>
#include <string>

namespace tabulix {

// The plain error: every exception kind of the product derives from it and carries its text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A database failure; the text is the server's or the layer's fixed message.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
};

// The silent abort: the user cancelled; the message loop does not report it.
class EAbort : public Exception {
 public:
  explicit EAbort(const std::string& message = "Operation aborted") : Exception(message) {}
};

// Index, capacity and count errors of lists.
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// A text that is not a valid number, date or other value.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A field value that cannot be turned into the requested kind.
class EVariantError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace tabulix
