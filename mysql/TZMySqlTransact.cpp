#include "mysql/TZMySqlTransact.h"

#include <memory>

#include "mysql/TZMonitorList.h"

namespace tabulix {

TZMySqlTransact::TZMySqlTransact()
    : TZTransact(
          std::make_unique<TDirMySqlTransact>(nullptr),
          [](TDirTransact& handle) -> std::unique_ptr<TDirQuery> {
            return std::make_unique<TDirMySqlQuery>(nullptr,
                                                    &static_cast<TDirMySqlTransact&>(handle));
          },
          skMySql) {}

TZMySqlTransact::~TZMySqlTransact() {
  DetachFromDatabase();
  // Bound monitors hear of the removal and leave the monitor list.
  BeginDestruction();
}

void TZMySqlTransact::SetTransactSafe(bool value) {
  TDirMySqlTransact& handle = Handle();
  if (value == handle.TransactSafe()) return;
  if (Connected() && !value) handle.EndTransaction();
  handle.SetTransactSafe(value);
  // From now on the work is bracketed: open the first transaction at once.
  if (Connected() && value) handle.StartTransaction();
}

void TZMySqlTransact::AddMonitor(TZMonitor* monitor) {
  MonitorList().Add(monitor);
}

void TZMySqlTransact::DeleteMonitor(TZMonitor* monitor) {
  MonitorList().Delete(monitor);
}

}  // namespace tabulix
