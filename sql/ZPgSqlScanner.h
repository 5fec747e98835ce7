#pragma once

#include <string>
#include <string_view>

#include "sql/ZSqlScanner.h"

namespace tabulix {

// PostgreSQL: "--" line comments, "/*" block comments, backslash escapes in strings.
class TZPgSqlScanner : public TZSqlScanner {
 public:
  TZPgSqlScanner() : TZSqlScanner(1) {}

  // Single quotes, with NUL, tab, line feed, carriage return, both quotes and the backslash
  // escaped by a backslash.
  std::string QuoteText(std::string_view text) const override;
  std::string UnquoteText(std::string_view text) const override;

 protected:
  TZTokenType ReadComment(std::string& token) override;
  TZTokenType ReadString(std::string& token) override;
};

}  // namespace tabulix
