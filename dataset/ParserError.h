#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "framework/Exceptions.h"

namespace tabulix {

// An expression that does not parse or cannot be evaluated with the bound values. The message
// ends with the place ("... at position 7", counted from 1); the expression and the position
// are also kept apart, so a caller can point at the spot without parsing the message.
class EParserError : public Exception {
 public:
  EParserError(const std::string& message, std::string expression, int position)
      : Exception(message), expression_(std::move(expression)), position_(position) {}
  // The error for a fault described by what at the given position.
  static EParserError At(std::string_view what, std::string expression, int position) {
    return EParserError(std::string(what) + " at position " + std::to_string(position),
                        std::move(expression), position);
  }

  const std::string& Expression() const { return expression_; }
  // 1-based byte position in the expression; one past its end for an unexpected end.
  int Position() const { return position_; }

 private:
  std::string expression_;
  int position_ = 0;
};

}  // namespace tabulix
