#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <string>

#include "framework/TComponent.h"

namespace tabulix {

class TZTransact;

// Receives one report: the SQL text of a step and its result ("OK." or the failure text).
using TMonitorEvent = std::function<void(const std::string& Sql, const std::string& Result)>;

// An SQL monitor. While it is bound to a transaction component it stands in the process-wide
// monitor list (TZMonitorList) and receives every report of the MySQL layer, whichever
// connection made it. Binding only decides whether it is in the list.
class TZMonitor : public TComponent {
 public:
  TZMonitor() = default;
  // Leaves the monitor list.
  ~TZMonitor() override;

  TZTransact* Transaction() const { return transaction_; }
  // Leaves the list when bound, stores the transaction, and joins the list again when it is
  // set. Writing the current transaction does nothing. When the transaction component goes,
  // the monitor leaves the list and forgets it.
  template <std::derived_from<TComponent> T>
  void SetTransaction(T* transaction) {
    Bind(transaction, transaction);
  }
  void SetTransaction(std::nullptr_t) { Bind(nullptr, nullptr); }

  const TMonitorEvent& OnMonitorEvent() const { return onMonitorEvent_; }
  void SetOnMonitorEvent(TMonitorEvent handler) { onMonitorEvent_ = std::move(handler); }

 protected:
  void Notification(TComponent& component, TOperation operation) override;

 private:
  // The transaction and the same object as a component; the header of the transaction
  // component is not needed here.
  void Bind(TZTransact* transaction, TComponent* component);

  TZTransact* transaction_ = nullptr;
  TComponent* transactionComponent_ = nullptr;
  TMonitorEvent onMonitorEvent_;
};

}  // namespace tabulix
