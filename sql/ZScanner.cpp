#include "sql/ZScanner.h"

namespace tabulix {
namespace {

constexpr std::string_view kDelimiters = ":;,+-<>/*%^=()[]|&~@#$\\`{}!? \t\n\r";
static_assert(kDelimiters.size() == 32);

bool IsBracket(char c) {
  return c == '(' || c == ')' || c == '[' || c == ']' || c == '{' || c == '}';
}
bool IsSeparator(char c) {
  return c == ',' || c == ':' || c == ';';
}

}  // namespace

void TZScanner::SetText(std::string_view text) {
  buffer_.assign(text);
  position_ = 1;
  line_ = 1;
  lastType_ = tkEnd;
}

char TZScanner::Peek(std::size_t offset) const {
  const std::size_t index = position_ - 1 + offset;
  return index < buffer_.size() ? buffer_[index] : '\0';
}

std::optional<TZTokenType> TZScanner::ReadFirstChar(int& position, int& line, std::string& token) {
  token.clear();
  while (!AtEnd() && (Peek() == ' ' || Peek() == '\t')) ++position_;
  position = static_cast<int>(position_);
  line = static_cast<int>(line_);
  if (AtEnd()) return SetLastType(tkEnd);
  Take(token);
  if (token[0] == '\n') return SetLastType(tkLf);
  if (token[0] == '\r') {
    NewLine();
    return SetLastType(tkCr);
  }
  return std::nullopt;
}

TZTokenType TZScanner::ReadToken(int& position, int& line, std::string& token) {
  if (auto decided = ReadFirstChar(position, line, token)) return *decided;
  const char c = token[0];
  if (IsBracket(c)) return SetLastType(tkBracket);
  if (IsSeparator(c)) return SetLastType(tkSeparator);
  if (IsDelimiter(c)) return SetLastType(tkOperator);
  if (IsQuote(c)) {
    while (!AtEnd()) {
      const bool closes = Peek() == c;
      Take(token);
      if (closes) break;
    }
    return SetLastType(tkString);
  }
  TZTokenType type = IsDigit(c) ? tkInteger : tkWord;
  while (!AtEnd() && !IsDelimiter(Peek()) && !IsQuote(Peek())) {
    if (Peek() == '.' && type == tkInteger) type = tkFloat;
    Take(token);
  }
  return SetLastType(type);
}

TZTokenType TZScanner::NextToken(int& position, int& line, std::string& token) {
  bool passedOver = false;
  return NextTokenPassing(position, line, token, passedOver);
}

TZTokenType TZScanner::NextTokenPassing(int& position, int& line, std::string& token,
                                        bool& passedOver) {
  TZTokenType type;
  passedOver = false;
  for (;;) {
    type = ReadToken(position, line, token);
    const bool hidden = ((type == tkCr || type == tkLf) && !showLineBreaks_) ||
                        (type == tkComment && !showComments_);
    if (!hidden) break;
    passedOver = true;
  }
  if (type == tkString && !keepQuotes_) token = UnquoteText(token);
  return type;
}

std::string TZScanner::QuoteText(std::string_view text) const {
  std::string out = "\"";
  out += text;
  out += '"';
  return out;
}

std::string TZScanner::UnquoteText(std::string_view text) const {
  if (text.empty() || !IsQuote(text.front())) return std::string(text);
  const char quote = text.front();
  text.remove_prefix(1);
  if (!text.empty() && text.back() == quote) text.remove_suffix(1);
  return std::string(text);
}

bool TZScanner::IsLetter(char c) const {
  return static_cast<unsigned char>(c) >= 32 && !IsDelimiter(c) && !IsDigit(c);
}

bool TZScanner::IsDigit(char c) const {
  return c >= '0' && c <= '9';
}

bool TZScanner::IsDelimiter(char c) const {
  return kDelimiters.find(c) != std::string_view::npos;
}

bool TZScanner::IsBlank(char c) const {
  return c == '\t' || c == '\n' || c == ' ';
}

bool TZScanner::IsLineEnd(char c) const {
  return c == '\r';
}

bool TZScanner::IsQuote(char c) const {
  return c == '\'' || c == '"';
}

}  // namespace tabulix
