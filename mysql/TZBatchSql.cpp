#include "mysql/TZBatchSql.h"

#include "framework/Exceptions.h"
#include "mysql/TZTransact.h"

namespace tabulix {

TZBatchSql::~TZBatchSql() {
  BeginDestruction();
}

void TZBatchSql::SetTransaction(TZTransact* transaction) {
  if (transaction == transaction_) return;
  if (transaction_ != nullptr) RemoveFreeNotification(*transaction_);
  transaction_ = transaction;
  if (transaction_ != nullptr) FreeNotification(*transaction_);
}

void TZBatchSql::Notification(TComponent& component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && &component == transaction_) transaction_ = nullptr;
}

void TZBatchSql::ExecSql() {
  if (transaction_ == nullptr) throw EDatabaseError("Transaction component not defined");
  if (onBeforeExecute_) onBeforeExecute_(*this);
  transaction_->SetConnected(true);
  rowsAffected_ = transaction_->BatchExec(sql_.Text());
  if (onAfterExecute_) onAfterExecute_(*this);
}

}  // namespace tabulix
