#pragma once

#include <string>

#include "sql/ZSqlScanner.h"

namespace tabulix {

// Microsoft SQL Server: "--" line comments, "/*" block comments, doubled quotes in strings.
class TZMsSqlScanner : public TZSqlScanner {
 public:
  TZMsSqlScanner() : TZSqlScanner(3) {}

 protected:
  TZTokenType ReadComment(std::string& token) override;
};

}  // namespace tabulix
