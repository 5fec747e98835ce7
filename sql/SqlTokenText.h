#pragma once

#include <span>
#include <string>
#include <string_view>

#include "framework/SharedEnums.h"

// Simple token cutting for SQL text. The Take* and Cut* functions take the text by reference
// and remove what they consumed from its front. None of them raises on malformed text.
namespace tabulix {

// Kinds returned by the token functions.
inline constexpr int kTokenNone = 0;       // the text was empty or held only blanks
inline constexpr int kTokenDelimiter = 1;  // one character of kSqlTokenDelimiters
inline constexpr int kTokenNumber = 2;     // begins with a digit
inline constexpr int kTokenWord = 3;
inline constexpr int kTokenString = 4;    // quoted, quotes included
inline constexpr int kTokenVariable = 5;  // a word found in the caller's name list

// The 33 characters that end a word and stand alone as tokens. The quotes are not among them.
inline constexpr std::string_view kSqlTokenDelimiters = " .:;,+-<>/*%^=()[]|&~@#$\\`{}!?\n\r\t";
static_assert(kSqlTokenDelimiters.size() == 33);

bool IsSqlTokenDelimiter(char c);
inline bool IsSqlQuote(char c) {
  return c == '\'' || c == '"';
}
inline bool IsSqlDigit(char c) {
  return c >= '0' && c <= '9';
}

// Cuts one token: a delimiter, a quoted string (a quote closes it unless an odd run of
// backslashes stands before it), a `quoted name` (kTokenWord, backquotes included, a doubled
// backquote inside), or a number or word running to the next delimiter or quote. Unterminated
// strings and names run to the end. Leading tabs and spaces are consumed with it.
int TakeToken(std::string& buffer, std::string& token);
// As TakeToken, passing over line-feed and carriage-return tokens.
int TakeCodeToken(std::string& buffer, std::string& token);
// As TakeCodeToken; a number followed by "." and digits is one token, and a word equal
// (case-sensitively) to an entry of names gives kTokenVariable with its 0-based index.
// index is -1 otherwise.
int TakeOperand(std::string& buffer, std::span<const std::string> names, std::string& token,
                int& index);
// As TakeCodeToken; "[" starts a name running to the next "]", returned as kTokenWord.
int TakeBracketedName(std::string& buffer, std::string& token);

// Skips characters of delimiters, then cuts the run of characters up to the next one; the
// delimiter that ended it stays in the buffer.
void CutWord(std::string& buffer, std::string_view delimiters, std::string& item);
// As CutWord, but a quoted string, a `quoted name` or a parenthesised group is one item, a
// quoted run inside a word does not end it (t.`a b`), and a group that directly follows a
// word belongs to it: "count(a, b)" is one item.
void CutItem(std::string& buffer, std::string_view delimiters, std::string& item);

// Remove enclosing quotes (the last character only when it matches the first).
std::string StripQuotes(std::string_view text);
// Removes enclosing square brackets; otherwise as StripQuotes.
std::string StripBrackets(std::string_view text);
// Puts value in front of the buffer (a token being given back).
void PrependText(std::string& buffer, std::string_view value);
// Every run of tabs, line breaks and spaces becomes one space, outside what the dialect keeps
// as it stands: quoted strings (backslash escapes in MySQL and PostgreSQL), quoted names
// (`name` in MySQL, [name] in Microsoft SQL Server) and comments, a line comment with its line
// end. MySQL comments are "#" and "-- " to the line feed and "/* */"; the other dialects have
// the comments of their scanners.
std::string CollapseBlanks(std::string_view text, ServerKind dialect = skMySql);

// 0-based index of name in list, ignoring ASCII case; -1 when absent.
int IndexOfName(std::span<const std::string> list, std::string_view name);
bool SameName(std::string_view a, std::string_view b);
// True when the shorter text is a prefix of the longer one; exactly one empty text is never
// alike, two empty texts are.
bool SamePrefix(std::string_view a, std::string_view b);
// The scale of a column type text such as "decimal(10,2)": its third word, 4 when absent.
int ScaleFromTypeName(std::string_view typeName);

}  // namespace tabulix
