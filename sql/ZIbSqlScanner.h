#pragma once

#include "sql/ZSqlScanner.h"

namespace tabulix {

// InterBase: the generic SQL rules ("//" and "/*" comments, doubled quotes).
class TZIbSqlScanner : public TZSqlScanner {
 public:
  TZIbSqlScanner() : TZSqlScanner(2) {}
};

}  // namespace tabulix
