#include "mysql/TZMonitor.h"

#include "mysql/TZMonitorList.h"

namespace tabulix {

TZMonitor::~TZMonitor() {
  BeginDestruction();
  // Also when the owner put it into the list without binding it.
  while (MonitorList().Contains(this)) MonitorList().Delete(this);
}

void TZMonitor::Bind(TZTransact* transaction, TComponent* component) {
  if (transaction == transaction_) return;
  if (transaction_) {
    MonitorList().Delete(this);
    RemoveFreeNotification(*transactionComponent_);
  }
  transaction_ = transaction;
  transactionComponent_ = component;
  if (transaction_) {
    FreeNotification(*transactionComponent_);
    MonitorList().Add(this);
  }
}

void TZMonitor::Notification(TComponent& component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && &component == transactionComponent_) {
    MonitorList().Delete(this);
    transaction_ = nullptr;
    transactionComponent_ = nullptr;
  }
}

}  // namespace tabulix
