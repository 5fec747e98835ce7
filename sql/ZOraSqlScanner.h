#pragma once

#include "sql/ZSqlScanner.h"

namespace tabulix {

// Oracle: the generic SQL rules ("//" and "/*" comments, doubled quotes).
class TZOraSqlScanner : public TZSqlScanner {
 public:
  TZOraSqlScanner() : TZSqlScanner(4) {}
};

}  // namespace tabulix
