#pragma once

#include "mysql/TDirMySqlConnect.h"
#include "mysql/TZDatabase.h"

namespace tabulix {

// The MySQL form of the database connection component (the window's ZMySqlDatabase1): a
// direct MySQL connection and the port "3306". Its connections speak utf8mb4, so Encoding
// converts nothing.
class TZMySqlDatabase : public TZDatabase {
 public:
  TZMySqlDatabase();
  ~TZMySqlDatabase() override;

  TDirMySqlConnect& Handle() const { return static_cast<TDirMySqlConnect&>(TZDatabase::Handle()); }
};

}  // namespace tabulix
