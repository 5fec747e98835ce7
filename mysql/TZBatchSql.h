#pragma once

#include "framework/StringList.h"
#include "framework/TComponent.h"

namespace tabulix {

class TZTransact;

// The batch component (the window's ZBatchSql1): runs the script in Sql, statement by
// statement, through its transaction component, connecting it first when needed.
class TZBatchSql : public TComponent {
 public:
  TZBatchSql() = default;
  ~TZBatchSql() override;

  // Not owned; empty when the transaction component goes.
  TZTransact* Transaction() const { return transaction_; }
  void SetTransaction(TZTransact* transaction);

  // The affected-row count of the last successful ExecSql.
  int RowsAffected() const { return rowsAffected_; }

  StringList& Sql() { return sql_; }
  const StringList& Sql() const { return sql_; }
  // Copies the lines.
  void SetSql(const StringList& lines) { sql_.Assign(lines); }

  const TNotifyEvent& OnBeforeExecute() const { return onBeforeExecute_; }
  void SetOnBeforeExecute(TNotifyEvent handler) { onBeforeExecute_ = std::move(handler); }
  const TNotifyEvent& OnAfterExecute() const { return onAfterExecute_; }
  void SetOnAfterExecute(TNotifyEvent handler) { onAfterExecute_ = std::move(handler); }

  // Raises EDatabaseError "Transaction component not defined" without a transaction; the
  // errors of connecting and of the statements propagate, leaving RowsAffected alone.
  void ExecSql();

 protected:
  void Notification(TComponent& component, TOperation operation) override;

 private:
  TZTransact* transaction_ = nullptr;
  int rowsAffected_ = 0;
  TNotifyEvent onBeforeExecute_;
  TNotifyEvent onAfterExecute_;
  StringList sql_;
};

}  // namespace tabulix
