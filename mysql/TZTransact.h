#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>

#include "framework/Exceptions.h"
#include "framework/FieldValue.h"
#include "framework/SharedEnums.h"
#include "framework/TComponent.h"
#include "mysql/TDirQuery.h"
#include "mysql/TDirTransact.h"

namespace tabulix {

class TZDatabase;
class TZMonitor;

enum TZTransactOption : std::uint8_t { toHourGlass = 0 };
using TZTransactOptions = std::set<TZTransactOption>;

// Events of the batch execution: the statement about to run (may be replaced), the affected-row
// count after a statement (may be changed), and whether a failed statement ends the script.
using TOnBeforeBatchExec = std::function<void(TComponent& Sender, std::string& Sql)>;
using TOnAfterbatchExec = std::function<void(TComponent& Sender, int& Res)>;
using TOnBatchError = std::function<void(TComponent& Sender, const EDatabaseError& E, bool& Stop)>;

// The transaction component, server-independent base: the one place through which statements
// reach the server. Bound to a database component; owns one direct transaction (one server
// connection) and one direct query. Every failure is an EDatabaseError: the fixed messages
// "Database component not defined", "Server connection error" and "Not connected yet", or the
// server's own text unchanged; a cancelled login prompt is EAbort. A failure the server (or
// the client library) reported also carries its error number, and a refused statement the
// statement as it was given (ExecSql, ExecFunc's "SELECT ...", the failed COMMIT, ROLLBACK or
// BEGIN). The connection speaks utf8mb4, so statements and texts pass unconverted whatever
// the database's Encoding says. With toHourGlass the SQL-wait cursor shows during the work;
// the cursor is always restored.
class TZTransact : public TComponent {
 public:
  static constexpr int kVersion = 50300;

  ~TZTransact() override;

  int Version() const { return kVersion; }

  bool Connected() const { return connected_; }
  // Writing the current value does nothing; true connects, false disconnects.
  void SetConnected(bool value);
  bool AutoCommit() const { return autoCommit_; }
  void SetAutoCommit(bool value) { autoCommit_ = value; }
  const TZTransactOptions& Options() const { return options_; }
  void SetOptions(TZTransactOptions value) { options_ = std::move(value); }

  TZDatabase* Database() const { return database_; }
  // Disconnects, leaves the old database's registry and joins the new one's; the direct
  // objects then work through the new database's direct connection.
  void SetDatabase(TZDatabase* database);

  // The dialect code handed to the tokenizer of the batch execution.
  ServerKind SqlDialect() const { return sqlDialect_; }

  // The owned direct transaction and direct query.
  TDirTransact& Handle() const { return *handle_; }
  TDirQuery& QueryHandle() const { return *query_; }

  int BatchCurPos() const { return batchCurPos_; }
  int BatchCurLen() const { return batchCurLen_; }
  int BatchCurrentLine() const { return batchCurrentLine_; }

  const TNotifyEvent& OnDataChange() const { return onDataChange_; }
  void SetOnDataChange(TNotifyEvent handler) { onDataChange_ = std::move(handler); }
  const TNotifyEvent& OnApplyUpdates() const { return onApplyUpdates_; }
  void SetOnApplyUpdates(TNotifyEvent handler) { onApplyUpdates_ = std::move(handler); }
  const TNotifyEvent& OnCommit() const { return onCommit_; }
  void SetOnCommit(TNotifyEvent handler) { onCommit_ = std::move(handler); }
  const TNotifyEvent& OnRollback() const { return onRollback_; }
  void SetOnRollback(TNotifyEvent handler) { onRollback_ = std::move(handler); }
  const TNotifyEvent& OnBeforeConnect() const { return onBeforeConnect_; }
  void SetOnBeforeConnect(TNotifyEvent handler) { onBeforeConnect_ = std::move(handler); }
  const TNotifyEvent& OnAfterConnect() const { return onAfterConnect_; }
  void SetOnAfterConnect(TNotifyEvent handler) { onAfterConnect_ = std::move(handler); }
  const TNotifyEvent& OnBeforeDisconnect() const { return onBeforeDisconnect_; }
  void SetOnBeforeDisconnect(TNotifyEvent handler) { onBeforeDisconnect_ = std::move(handler); }
  const TNotifyEvent& OnAfterDisconnect() const { return onAfterDisconnect_; }
  void SetOnAfterDisconnect(TNotifyEvent handler) { onAfterDisconnect_ = std::move(handler); }
  const TOnBeforeBatchExec& OnBeforeBatchExec() const { return onBeforeBatchExec_; }
  void SetOnBeforeBatchExec(TOnBeforeBatchExec handler) { onBeforeBatchExec_ = std::move(handler); }
  const TOnAfterbatchExec& OnAfterBatchExec() const { return onAfterBatchExec_; }
  void SetOnAfterBatchExec(TOnAfterbatchExec handler) { onAfterBatchExec_ = std::move(handler); }
  const TOnBatchError& OnBatchError() const { return onBatchError_; }
  void SetOnBatchError(TOnBatchError handler) { onBatchError_ = std::move(handler); }

  // Connects the database component (with its login prompt) and opens the direct transaction.
  virtual void Connect();
  // Closes the direct transaction (logs out).
  virtual void Disconnect();
  // Sends one statement; returns the affected-row count. Commits after it with AutoCommit.
  virtual int ExecSql(const std::string& sql);
  // As ExecSql with positional parameter values (the span carries their count), which the
  // MySQL query does not use.
  virtual int ExecSqlParams(const std::string& sql, std::span<const FieldValue> params);
  // "SELECT " + the expression; the first column of the first row as text.
  virtual std::string ExecFunc(const std::string& expression);
  virtual void Commit();
  virtual void Rollback();
  // Hook before a failed statement is raised; does nothing here.
  virtual void DoError(bool handled);
  // Binds a monitor to the process-wide monitor list, and unbinds it.
  virtual void AddMonitor(TZMonitor* monitor) = 0;
  virtual void DeleteMonitor(TZMonitor* monitor) = 0;

  // Raises OnDataChange for a statement whose first word is UPDATE, INSERT or DELETE.
  void DoDataChange(const std::string& sql);
  void DoCommit();
  void DoRollback();
  // Raised by a dataset, as sender, after it has sent its pending changes.
  void DoApplyUpdates(TComponent& sender);

  // Runs a script statement by statement; returns the affected-row count of the last
  // statement that succeeded. Nothing is rolled back when a later statement fails.
  int BatchExec(const std::string& script);

 protected:
  // The query is made for the direct transaction once that is in place.
  using QueryFactory = std::function<std::unique_ptr<TDirQuery>(TDirTransact& handle)>;
  TZTransact(std::unique_ptr<TDirTransact> handle, const QueryFactory& newQuery,
             ServerKind sqlDialect);

  // Leaves the database, disconnected; for the most derived destructor to call first.
  void DetachFromDatabase() noexcept;
  void Notification(TComponent& component, TOperation operation) override;
  void Loaded() override;

 private:
  [[noreturn]] void RaiseError(const std::string& errorText, const std::string& statement,
                               unsigned errorCode);
  // The direct transaction's failure (login, commit, rollback, logout).
  [[noreturn]] void RaiseHandleError();
  int ExecuteStatement(const std::string& sql, const std::span<const FieldValue>* params);
  bool ShowSqlWait() const { return options_.contains(toHourGlass); }
  void CheckConnected() const;

  bool connected_ = false;
  bool autoCommit_ = true;
  TZTransactOptions options_{toHourGlass};
  TZDatabase* database_ = nullptr;
  ServerKind sqlDialect_;
  std::unique_ptr<TDirTransact> handle_;
  std::unique_ptr<TDirQuery> query_;
  TNotifyEvent onDataChange_;
  TNotifyEvent onApplyUpdates_;
  TNotifyEvent onCommit_;
  TNotifyEvent onRollback_;
  TNotifyEvent onBeforeConnect_;
  TNotifyEvent onAfterConnect_;
  TNotifyEvent onBeforeDisconnect_;
  TNotifyEvent onAfterDisconnect_;
  int batchCurPos_ = 0;
  int batchCurLen_ = 0;
  int batchCurrentLine_ = 0;
  TOnBeforeBatchExec onBeforeBatchExec_;
  TOnAfterbatchExec onAfterBatchExec_;
  TOnBatchError onBatchError_;
  // Set while Connect runs: the database's Connect calls back into it, and that inner call
  // only opens the direct transaction, so one connect raises its events once.
  bool connecting_ = false;
};

}  // namespace tabulix
