#include "mysql/TZMySqlDatabase.h"

#include <memory>

namespace tabulix {

TZMySqlDatabase::TZMySqlDatabase() : TZDatabase(std::make_unique<TDirMySqlConnect>()) {
  SetPort("3306");
}

TZMySqlDatabase::~TZMySqlDatabase() {
  BeginDestruction();
}

}  // namespace tabulix
