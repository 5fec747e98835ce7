#include "sql/SqlTokenText.h"

#include <cstddef>

#include "framework/AsciiCase.h"
#include "framework/NumberText.h"

namespace tabulix {
namespace {

bool IsBlankOrTab(char c) {
  return c == ' ' || c == '\t';
}

bool InSet(std::string_view set, char c) {
  return set.find(c) != std::string_view::npos;
}

// End (exclusive) of the quoted run that starts at start, the closing quote included; the
// end of the text when it is not closed.
std::size_t EndOfQuoted(std::string_view text, std::size_t start) {
  std::size_t close = text.find(text[start], start + 1);
  return close == std::string_view::npos ? text.size() : close + 1;
}

// End (exclusive) of the parenthesised group that starts at start, nested groups included.
// Parentheses inside quoted strings do not count; an open group runs to the end of the text.
std::size_t EndOfGroup(std::string_view text, std::size_t start) {
  int depth = 0;
  std::size_t i = start;
  while (i < text.size()) {
    char c = text[i];
    if (IsSqlQuote(c)) {
      i = EndOfQuoted(text, i);
      continue;
    }
    ++i;
    if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      break;
    }
  }
  return i;
}

}  // namespace

bool IsSqlTokenDelimiter(char c) {
  return InSet(kSqlTokenDelimiters, c);
}

int TakeToken(std::string& buffer, std::string& token) {
  token.clear();
  if (buffer.empty()) return kTokenNone;
  const std::size_t n = buffer.size();
  std::size_t start = 0;
  while (start < n && IsBlankOrTab(buffer[start])) ++start;
  if (start == n) {
    buffer.clear();
    return kTokenNone;
  }
  const char first = buffer[start];
  std::size_t end = start + 1;
  int kind;
  if (IsSqlTokenDelimiter(first)) {
    kind = kTokenDelimiter;
  } else if (IsSqlQuote(first)) {
    kind = kTokenString;
    end = n;
    for (std::size_t i = start + 1; i < n; ++i) {
      if (buffer[i] == first && buffer[i - 1] != '\\') {
        end = i + 1;
        break;
      }
    }
  } else {
    kind = IsSqlDigit(first) ? kTokenNumber : kTokenWord;
    while (end < n && !IsSqlTokenDelimiter(buffer[end]) && !IsSqlQuote(buffer[end])) ++end;
  }
  token.assign(buffer, start, end - start);
  buffer.erase(0, end);
  return kind;
}

int TakeCodeToken(std::string& buffer, std::string& token) {
  int kind = TakeToken(buffer, token);
  while (!token.empty() && (token[0] == '\n' || token[0] == '\r')) {
    kind = TakeToken(buffer, token);
  }
  return kind;
}

int TakeOperand(std::string& buffer, std::span<const std::string> names, std::string& token,
                int& index) {
  index = -1;
  int kind = TakeCodeToken(buffer, token);
  if (kind == kTokenNumber && !buffer.empty() && buffer[0] == '.') {
    token += '.';
    buffer.erase(0, 1);
    if (!buffer.empty() && IsSqlDigit(buffer[0])) {
      std::string fraction;
      TakeToken(buffer, fraction);
      token += fraction;
    }
  } else if (kind == kTokenWord) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (names[i] == token) {
        index = static_cast<int>(i);
        return kTokenVariable;
      }
    }
  }
  return kind;
}

int TakeBracketedName(std::string& buffer, std::string& token) {
  int kind = TakeCodeToken(buffer, token);
  if (token != "[") return kind;
  token.clear();
  std::size_t close = buffer.find(']');
  if (close != std::string::npos) {
    token.assign(buffer, 0, close);
    buffer.erase(0, close + 1);
  }
  return kTokenWord;
}

void CutWord(std::string& buffer, std::string_view delimiters, std::string& item) {
  item.clear();
  const std::size_t n = buffer.size();
  std::size_t start = 0;
  while (start < n && InSet(delimiters, buffer[start])) ++start;
  std::size_t end = start;
  while (end < n && !InSet(delimiters, buffer[end])) ++end;
  item.assign(buffer, start, end - start);
  buffer.erase(0, end);
}

void CutItem(std::string& buffer, std::string_view delimiters, std::string& item) {
  item.clear();
  const std::string_view text = buffer;
  const std::size_t n = text.size();
  std::size_t start = 0;
  while (start < n && InSet(delimiters, text[start])) ++start;
  std::size_t end = start;
  if (end < n) {
    if (IsSqlQuote(text[end])) {
      end = EndOfQuoted(text, end);
    } else if (text[end] != '(') {
      while (end < n && !InSet(delimiters, text[end]) && text[end] != '(') ++end;
    }
    // A group directly after the piece is part of the item, as in count(x).
    while (end < n && text[end] == '(') end = EndOfGroup(text, end);
  }
  item.assign(buffer, start, end - start);
  buffer.erase(0, end);
}

std::string StripQuotes(std::string_view text) {
  if (text.empty() || !IsSqlQuote(text.front())) return std::string(text);
  const char quote = text.front();
  text.remove_prefix(1);
  if (!text.empty() && text.back() == quote) text.remove_suffix(1);
  return std::string(text);
}

std::string StripBrackets(std::string_view text) {
  if (text.empty() || text.front() != '[') return StripQuotes(text);
  text.remove_prefix(1);
  if (!text.empty() && text.back() == ']') text.remove_suffix(1);
  return std::string(text);
}

void PrependText(std::string& buffer, std::string_view value) {
  if (!value.empty()) buffer.insert(0, value);
}

std::string CollapseBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  char openQuote = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool escaped = i > 0 && text[i - 1] == '\\';
    if (openQuote != 0) {
      if (c == openQuote && !escaped) openQuote = 0;
      out += c;
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (out.empty() || out.back() != ' ') out += ' ';
    } else {
      if (IsSqlQuote(c) && !escaped) openQuote = c;
      out += c;
    }
  }
  return out;
}

int IndexOfName(std::span<const std::string> list, std::string_view name) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (EqualsIgnoreCase(list[i], name)) return static_cast<int>(i);
  }
  return -1;
}

bool SameName(std::string_view a, std::string_view b) {
  return EqualsIgnoreCase(a, b);
}

bool SamePrefix(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  return a.size() <= b.size() ? b.starts_with(a) : a.starts_with(b);
}

int ScaleFromTypeName(std::string_view typeName) {
  std::string rest(typeName);
  std::string word;
  for (int i = 0; i < 3; ++i) CutWord(rest, "() ,.", word);
  return TryStrToInt(word).value_or(4);
}

}  // namespace tabulix
