#pragma once

#include <string>
#include <string_view>

#include "sql/ZSqlScanner.h"

namespace tabulix {

// MySQL: "#" and "-- " line comments ("--" needs a blank or control character after it, as
// the server does: 1--1 is one minus minus one), no block comments, backslash escapes in
// strings, and `quoted names` read whole as tkWord tokens (a doubled backquote stays inside).
class TZMySqlScanner : public TZSqlScanner {
 public:
  TZMySqlScanner() : TZSqlScanner(0) {}

  // Single quotes, with NUL, line feed, carriage return, Ctrl-Z, both quotes and the
  // backslash escaped by a backslash.
  std::string QuoteText(std::string_view text) const override;
  std::string UnquoteText(std::string_view text) const override;

 protected:
  TZTokenType ReadComment(std::string& token) override;
  TZTokenType ReadString(std::string& token) override;
  TZTokenType ReadWord(std::string& token) override;
};

}  // namespace tabulix
