#include "sql/SqlTokenText.h"

#include <array>
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

// End (exclusive) of the quoted string that starts at start, the closing quote included: the
// next quote of the same kind, unless an odd run of backslashes stands before it (with
// backslashEscapes). The end of the text when it is not closed.
std::size_t EndOfQuoted(std::string_view text, std::size_t start, bool backslashEscapes = true) {
  const char quote = text[start];
  for (std::size_t i = start + 1;;) {
    const std::size_t q = text.find(quote, i);
    if (q == std::string_view::npos) return text.size();
    if (!backslashEscapes) return q + 1;
    // Backslashes escape in pairs: an odd run right before the quote keeps it inside.
    std::size_t run = q;
    while (run > start + 1 && text[run - 1] == '\\') --run;
    if ((q - run) % 2 == 0) return q + 1;
    i = q + 1;
  }
}

// End (exclusive) of the quoted name that starts at start and is closed by close; a doubled
// close character stays inside. The end of the text when it is not closed.
std::size_t EndOfQuotedName(std::string_view text, std::size_t start, char close) {
  for (std::size_t i = start + 1; i < text.size(); ++i) {
    if (text[i] != close) continue;
    if (i + 1 < text.size() && text[i + 1] == close) {
      ++i;
    } else {
      return i + 1;
    }
  }
  return text.size();
}

// End of a quoted string or `name` starting at start; start itself when neither starts there.
std::size_t EndOfQuotedRun(std::string_view text, std::size_t start) {
  if (text[start] == '`') return EndOfQuotedName(text, start, '`');
  if (IsSqlQuote(text[start])) return EndOfQuoted(text, start);
  return start;
}

// End (exclusive) of the parenthesised group that starts at start, nested groups included.
// Parentheses inside quoted strings and names do not count; an open group runs to the end.
std::size_t EndOfGroup(std::string_view text, std::size_t start) {
  int depth = 0;
  std::size_t i = start;
  while (i < text.size()) {
    if (std::size_t end = EndOfQuotedRun(text, i); end != i) {
      i = end;
      continue;
    }
    const char c = text[i++];
    if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      break;
    }
  }
  return i;
}

// What CollapseBlanks must keep as it stands in a dialect: strings, quoted names, comments.
struct VerbatimSyntax {
  bool backslashEscapes;         // a backslash keeps the next character inside a string
  char nameOpen, nameClose;      // a quoted name, 0 when the dialect has none
  std::string_view lineComment;  // opener of a comment to the line end, empty when none
  bool hashComments;             // "#" opens a comment to the line end
  bool mySqlDashes;              // "--" opens a comment only before a blank or control character
  std::string_view lineEnds;     // the characters that end a line comment (kept with it)
};

VerbatimSyntax VerbatimSyntaxOf(ServerKind dialect) {
  switch (dialect) {
    case skMySql:
      // As the server reads it: only a line feed ends a line comment.
      return {true, '`', '`', "--", true, true, "\n"};
    case skPostgreSql:
      return {true, 0, 0, "--", false, false, "\r\n"};
    case skMsSql:
      return {false, '[', ']', "--", false, false, "\r\n"};
    default:
      return {false, 0, 0, "//", false, false, "\r\n"};
  }
}

// End (exclusive) of the string, quoted name or comment that starts at start in the dialect;
// start itself when none starts there. Line comments end after their line end.
std::size_t EndOfVerbatim(std::string_view text, std::size_t start, const VerbatimSyntax& syntax) {
  const char c = text[start];
  if (IsSqlQuote(c)) return EndOfQuoted(text, start, syntax.backslashEscapes);
  if (syntax.nameOpen != 0 && c == syntax.nameOpen) {
    return EndOfQuotedName(text, start, syntax.nameClose);
  }
  const std::string_view rest = text.substr(start);
  bool lineComment = (syntax.hashComments && c == '#') ||
                     (!syntax.lineComment.empty() && rest.starts_with(syntax.lineComment));
  if (lineComment && syntax.mySqlDashes && c == '-') {
    // "1--1" is one minus one: the server wants a blank or control character after the dashes.
    lineComment =
        rest.size() == 2 || static_cast<unsigned char>(rest[2]) <= ' ' || rest[2] == '\x7f';
  }
  if (lineComment) {
    const std::size_t end = text.find_first_of(syntax.lineEnds, start);
    return end == std::string_view::npos ? text.size() : end + 1;
  }
  if (rest.starts_with("/*")) {
    const std::size_t end = text.find("*/", start + 2);
    return end == std::string_view::npos ? text.size() : end + 2;
  }
  return start;
}

// The characters with which a string, a quoted name or a comment of any dialect begins.
bool MayOpenVerbatim(char c) {
  return InSet("'\"`[#-/", c);
}

// The characters CollapseBlanks has to look at: white space and what may open a string, a
// quoted name or a comment. Runs of other characters are copied at once.
constexpr std::array<bool, 256> kCollapseStops = [] {
  std::array<bool, 256> stops{};
  for (unsigned char c : std::string_view(" \t\n\r'\"`[#-/")) stops[c] = true;
  return stops;
}();

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
  if (first == '`') {
    kind = kTokenWord;  // a quoted name, whatever it holds
    end = EndOfQuotedName(buffer, start, '`');
  } else if (IsSqlTokenDelimiter(first)) {
    kind = kTokenDelimiter;
  } else if (IsSqlQuote(first)) {
    kind = kTokenString;
    end = EndOfQuoted(buffer, start);
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
    if (IsSqlQuote(text[end]) || text[end] == '`') {
      end = EndOfQuotedRun(text, end);
    } else if (text[end] != '(') {
      // A word; a quoted name or string inside it (t.`a b`, _utf8'x y') is not cut.
      while (end < n && !InSet(delimiters, text[end]) && text[end] != '(') {
        const std::size_t quoted = EndOfQuotedRun(text, end);
        end = quoted != end ? quoted : end + 1;
      }
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

std::string CollapseBlanks(std::string_view text, ServerKind dialect) {
  const VerbatimSyntax syntax = VerbatimSyntaxOf(dialect);
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      // The line end of a kept line comment already separates what follows.
      if (out.empty() || (out.back() != ' ' && out.back() != '\n' && out.back() != '\r')) {
        out += ' ';
      }
      ++i;
    } else if (const std::size_t end = MayOpenVerbatim(c) ? EndOfVerbatim(text, i, syntax) : i;
               end != i) {
      out.append(text, i, end - i);
      i = end;
    } else {
      std::size_t run = i + 1;
      while (run < text.size() && !kCollapseStops[static_cast<unsigned char>(text[run])]) ++run;
      out.append(text, i, run - i);
      i = run;
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
