#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace tabulix {

// The plain error: every exception kind of the product derives from it and carries its text.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A database failure; the text is the server's or the layer's fixed message. When a statement
// failed, the error also carries that statement and the server's error number, so that a caller
// can say which statement failed and why without parsing the message.
class EDatabaseError : public Exception {
 public:
  using Exception::Exception;
  EDatabaseError(const std::string& message, std::string statement, unsigned errorCode)
      : Exception(message), statement_(std::move(statement)), errorCode_(errorCode) {}

  // The statement sent when the server refused it; empty for other failures.
  const std::string& Statement() const { return statement_; }
  // The server's error number (for example 1062 for a duplicate key); 0 when there is none.
  unsigned ErrorCode() const { return errorCode_; }

 private:
  std::string statement_;
  unsigned errorCode_ = 0;
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
