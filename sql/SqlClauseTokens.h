#pragma once

#include <string>
#include <string_view>

#include "framework/SharedEnums.h"

// Token reading at the level of SQL clauses: blanks and the dialect's comments are skipped and
// a parenthesised or bracketed group is one token. Each function takes the remaining text by
// reference and removes what it consumed from its front.
namespace tabulix {

// Removes leading tabs and spaces; true when there were any.
bool SkipLeadingBlanks(std::string& text);
// Removes through the first line feed, else through the first carriage return, else all.
void SkipLine(std::string& text);
// Removes through the first occurrence of marker, or everything when it does not occur.
void SkipPast(std::string& text, std::string_view marker);
// Removes blanks and the dialect's comments ("#" for MySQL, "--" and "/* */" for
// PostgreSQL, "//" and "/* */" for InterBase); true when anything was removed.
bool SkipBlanksAndComments(std::string& text, ServerKind dialect);

// The next token, empty at the end of the text or when the text begins with stop (which stays
// in place). A group in ( ) or [ ] comes out whole, each run of blanks inside it as one space;
// a `quoted` identifier is one token.
void NextSqlToken(std::string& text, std::string_view stop, ServerKind dialect, std::string& token);
// As NextSqlToken, passing over line-break tokens.
void NextSqlWord(std::string& text, std::string_view stop, ServerKind dialect, std::string& token);
// True for the keywords that end a clause of a SELECT in the dialect (any letter case).
bool IsClauseKeyword(ServerKind dialect, std::string_view token);

}  // namespace tabulix
