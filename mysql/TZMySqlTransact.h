#pragma once

#include "mysql/TDirMySqlQuery.h"
#include "mysql/TDirMySqlTransact.h"
#include "mysql/TZMySqlDatabase.h"
#include "mysql/TZTransact.h"

namespace tabulix {

// The MySQL form of the transaction component (the window's ZMySqlTransact1): a direct MySQL
// transaction and query, the MySQL tokenizer for scripts, and monitors bound to the
// process-wide monitor list.
class TZMySqlTransact : public TZTransact {
 public:
  TZMySqlTransact();
  // Disconnects (reported to the monitors), leaves its database, then sends its removal
  // notices; bound monitors are unbound.
  ~TZMySqlTransact() override;

  TZMySqlDatabase* Database() const {
    return static_cast<TZMySqlDatabase*>(TZTransact::Database());
  }
  void SetDatabase(TZMySqlDatabase* database) { TZTransact::SetDatabase(database); }

  // Kept in the direct transaction. Switching it off while connected first rolls back the
  // open transaction; switching it on while connected begins one.
  bool TransactSafe() const { return Handle().TransactSafe(); }
  void SetTransactSafe(bool value);

  TDirMySqlTransact& Handle() const {
    return static_cast<TDirMySqlTransact&>(TZTransact::Handle());
  }
  TDirMySqlQuery& QueryHandle() const {
    return static_cast<TDirMySqlQuery&>(TZTransact::QueryHandle());
  }

  void AddMonitor(TZMonitor* monitor) override;
  void DeleteMonitor(TZMonitor* monitor) override;
};

}  // namespace tabulix
