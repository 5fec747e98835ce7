#include "dataset/internal/ExprTokens.h"

#include <cstdio>

#include "dataset/ParserError.h"

namespace tabulix::dataset_internal {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
// Bytes above 127 belong to names, so field names with umlauts need no brackets.
bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool IsNamePart(char c) {
  return IsNameStart(c) || IsDigit(c) || c == '#' || c == '$';
}

std::string Shown(char c) {
  auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x20 && byte < 0x7F) return std::string("'") + c + "'";
  char hex[16];
  std::snprintf(hex, sizeof hex, "byte 0x%02X", byte);
  return hex;
}

class Lexer {
 public:
  explicit Lexer(const std::string& expression) : s_(expression) {}

  std::vector<ExprToken> Run() {
    std::vector<ExprToken> tokens;
    for (;;) {
      while (i_ < s_.size() &&
             (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n'))
        ++i_;
      if (i_ == s_.size()) break;
      tokens.push_back(Next());
    }
    tokens.push_back({ExprToken::Kind::End, {}, Position(s_.size()), 0});
    return tokens;
  }

 private:
  static int Position(std::size_t index) { return static_cast<int>(index) + 1; }

  [[noreturn]] void Fail(const std::string& what, std::size_t index) const {
    throw EParserError::At(what, s_, Position(index));
  }

  ExprToken Make(ExprToken::Kind kind, std::string text, std::size_t start) const {
    return {kind, std::move(text), Position(start), static_cast<int>(i_ - start)};
  }

  ExprToken Next() {
    const std::size_t start = i_;
    const char c = s_[i_];
    if (IsDigit(c)) return Number();
    if (IsNameStart(c)) {
      while (i_ < s_.size() && IsNamePart(s_[i_])) ++i_;
      return Make(ExprToken::Kind::Name, s_.substr(start, i_ - start), start);
    }
    if (c == '\'' || c == '"') return Quoted(c, ExprToken::Kind::Text, "text");
    if (c == '[') return Quoted(']', ExprToken::Kind::QuotedName, "name");
    if (c == '`') return Quoted('`', ExprToken::Kind::QuotedName, "name");
    for (std::string_view two : {"<=", ">=", "<>", "!="}) {
      if (s_.compare(i_, 2, two) == 0) {
        i_ += 2;
        return Make(ExprToken::Kind::Symbol, std::string(two), start);
      }
    }
    if (std::string_view("=<>+-*/(),").find(c) != std::string_view::npos) {
      ++i_;
      return Make(ExprToken::Kind::Symbol, std::string(1, c), start);
    }
    Fail("Unexpected character " + Shown(c), start);
  }

  // Digits, optionally "." and digits, optionally an exponent; a name character or a point
  // right after it makes the whole a malformed number (12ab, 1.2.3).
  ExprToken Number() {
    const std::size_t start = i_;
    auto digits = [&] {
      std::size_t from = i_;
      while (i_ < s_.size() && IsDigit(s_[i_])) ++i_;
      return i_ > from;
    };
    digits();
    if (i_ < s_.size() && s_[i_] == '.') {
      ++i_;
      if (!digits()) Fail("Digits expected after the decimal point", i_ - 1);
    }
    if (i_ < s_.size() && (s_[i_] == 'e' || s_[i_] == 'E')) {
      std::size_t mark = i_++;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (!digits()) i_ = mark;  // not an exponent; reported as a malformed number below
    }
    if (i_ < s_.size() && (IsNamePart(s_[i_]) || s_[i_] == '.')) {
      while (i_ < s_.size() && (IsNamePart(s_[i_]) || s_[i_] == '.')) ++i_;
      Fail("Malformed number '" + s_.substr(start, i_ - start) + "'", start);
    }
    return Make(ExprToken::Kind::Number, s_.substr(start, i_ - start), start);
  }

  // A text or name up to close; a doubled close stands for one.
  ExprToken Quoted(char close, ExprToken::Kind kind, const char* what) {
    const std::size_t start = i_++;
    std::string text;
    for (;;) {
      if (i_ >= s_.size()) Fail(std::string("Unterminated ") + what, start);
      if (s_[i_] == close) {
        if (i_ + 1 < s_.size() && s_[i_ + 1] == close) {
          text += close;
          i_ += 2;
          continue;
        }
        ++i_;
        break;
      }
      text += s_[i_++];
    }
    if (kind == ExprToken::Kind::QuotedName && text.empty()) Fail("Empty name", start);
    return Make(kind, std::move(text), start);
  }

  const std::string& s_;
  std::size_t i_ = 0;
};

}  // namespace

std::vector<ExprToken> TokenizeExpression(const std::string& expression) {
  return Lexer(expression).Run();
}

}  // namespace tabulix::dataset_internal
