#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "sql/ZScanner.h"

namespace tabulix {

// The SQL scanner: comments, operators, strings with doubled quotes, keywords, and the
// splitting of a script into statements at ";". This class is the generic dialect (code 6);
// the dialect classes change comments, string escapes and quoting.
class TZSqlScanner : public TZScanner {
 public:
  TZSqlScanner() : TZSqlScanner(6) {}

  // 0 MySQL, 1 PostgreSQL, 2 InterBase, 3 Microsoft SQL Server, 4 Oracle, 6 generic.
  std::uint8_t SqlDialect() const { return sqlDialect_; }

  TZTokenType ReadToken(int& position, int& line, std::string& token) override;
  std::string QuoteText(std::string_view text) const override;
  std::string UnquoteText(std::string_view text) const override;

  // Takes the tabs, line feeds and spaces (not carriage returns) at the current position.
  void SkipBlanks(std::string& blanks);
  // The next statement of the script: comments the options hide are dropped, each run of
  // blanks after a token becomes one space, and the ending ";" is taken but not returned.
  // position and line are where the statement starts; length counts the characters read,
  // the ";" included. An empty statement means the script is finished.
  void ExtractStatement(int& position, int& length, std::string& statement, int& line);

  // SQL word characters: "$", ".", digits, ASCII letters and "_".
  static bool IsWordChar(char c);
  // A word of the SQL keyword list, in any letter case.
  static bool IsKeyword(std::string_view word);

 protected:
  explicit TZSqlScanner(std::uint8_t dialect) : sqlDialect_(dialect) {}

  // Each reads on from the first character, already in token, and returns tkUnknown when
  // the character does not start its kind of token.
  virtual TZTokenType ReadComment(std::string& token);
  virtual TZTokenType ReadString(std::string& token);
  virtual TZTokenType ReadWord(std::string& token);
  virtual TZTokenType ReadOperator(std::string& token);

  // Comment rules the dialects pick from. A line comment runs through the next line end;
  // a block comment from "/*" through "*/".
  TZTokenType ReadLineComment(std::string& token);
  TZTokenType ReadBlockComment(std::string& token);
  // A quoted string in which a doubled quote, or (backslashEscapes) a backslash and the
  // character after it, do not end the string.
  TZTokenType ReadQuotedString(std::string& token, bool backslashEscapes);

  // Backslash quoting of MySQL and PostgreSQL: tab as \t (PostgreSQL), Ctrl-Z as \Z (MySQL).
  static std::string QuoteWithBackslashes(std::string_view text, bool tabs, bool ctrlZ);
  static std::string UnquoteWithBackslashes(std::string_view text, bool tabs, bool ctrlZ);

 private:
  std::uint8_t sqlDialect_;
};

// A new scanner for the dialect code (only its low 7 bits count): 1 PostgreSQL, 2 InterBase,
// 3 Microsoft SQL Server, 4 Oracle, any other code MySQL.
std::unique_ptr<TZSqlScanner> CreateSqlScanner(std::uint8_t dialect);

}  // namespace tabulix

// The dialect scanners, so that this header shows the whole family.
#include "sql/ZIbSqlScanner.h"
#include "sql/ZMsSqlScanner.h"
#include "sql/ZMySqlScanner.h"
#include "sql/ZOraSqlScanner.h"
#include "sql/ZPgSqlScanner.h"
