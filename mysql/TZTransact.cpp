#include "mysql/TZTransact.h"

#include <exception>

#include "framework/AsciiCase.h"
#include "framework/SqlWaitCursor.h"
#include "mysql/TZDatabase.h"
#include "sql/SqlTokenText.h"
#include "sql/ZSqlScanner.h"

namespace tabulix {

namespace {

constexpr std::string_view kWordDelimiters = " \t\n\r";

void Call(const TNotifyEvent& handler, TComponent& sender) {
  if (handler) handler(sender);
}

// Empties the query's statement text when the operation ends, however it ends.
class ClearQuerySql {
 public:
  explicit ClearQuerySql(TDirQuery& query) : query_(query) {}
  ~ClearQuerySql() { query_.SetSql(""); }
  ClearQuerySql(const ClearQuerySql&) = delete;
  ClearQuerySql& operator=(const ClearQuerySql&) = delete;

 private:
  TDirQuery& query_;
};

class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = false; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
};

}  // namespace

TZTransact::TZTransact(std::unique_ptr<TDirTransact> handle, const QueryFactory& newQuery,
                       ServerKind sqlDialect)
    : sqlDialect_(sqlDialect), handle_(std::move(handle)), query_(newQuery(*handle_)) {}

TZTransact::~TZTransact() {
  DetachFromDatabase();
}

void TZTransact::DetachFromDatabase() noexcept {
  try {
    Disconnect();
  } catch (...) {
    // The failed logout was reported to the monitors; a destructor cannot raise it.
  }
  if (database_ == nullptr) return;
  try {
    database_->RemoveTransaction(*this);
  } catch (...) {
    // Already disconnected above; the registry entry is gone either way.
  }
  RemoveFreeNotification(*database_);
  database_ = nullptr;
  handle_->SetConnect(nullptr);
  query_->SetConnect(nullptr);
}

void TZTransact::SetConnected(bool value) {
  if (value == connected_) return;
  if (value) {
    Connect();
  } else {
    Disconnect();
  }
}

void TZTransact::SetDatabase(TZDatabase* database) {
  // Every step runs even when an earlier one raised, so that no registry keeps a transaction
  // that points elsewhere; the first error propagates at the end.
  std::exception_ptr error;
  auto step = [&](auto&& action) {
    try {
      action();
    } catch (...) {
      if (!error) error = std::current_exception();
    }
  };
  step([&] { Disconnect(); });
  if (database_ != nullptr) step([&] { database_->RemoveTransaction(*this); });
  if (database != nullptr) step([&] { database->AddTransaction(*this); });
  if (database_ != nullptr && database_ != database) RemoveFreeNotification(*database_);
  database_ = database;
  if (database_ != nullptr) FreeNotification(*database_);
  TDirConnect* connect = database_ != nullptr ? &database_->Handle() : nullptr;
  handle_->SetConnect(connect);
  query_->SetConnect(connect);
  if (error) std::rethrow_exception(error);
}

void TZTransact::Notification(TComponent& component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && &component == database_) DetachFromDatabase();
}

void TZTransact::Loaded() {
  TComponent::Loaded();
  if (database_ != nullptr) database_->OpenDeferredDatasets();
}

void TZTransact::RaiseError(const std::string& errorText, const std::string& statement,
                            unsigned errorCode) {
  // The connection speaks utf8mb4 whatever Encoding says, so the server's text is already
  // the UTF-8 that every text of this system is; converting it again would garble it.
  throw EDatabaseError(errorText, statement, errorCode);
}

void TZTransact::RaiseHandleError() {
  const std::string text = handle_->ErrorText();
  RaiseError(text, handle_->ErrorStatement(), handle_->ErrorNumber());
}

void TZTransact::CheckConnected() const {
  if (!connected_) throw EDatabaseError("Not connected yet");
}

void TZTransact::Connect() {
  if (connected_) return;
  SqlWaitCursor wait(ShowSqlWait());
  if (database_ == nullptr) throw EDatabaseError("Database component not defined");
  auto openHandle = [&] {
    if (!handle_->Active()) {
      handle_->Open();
      if (handle_->GetStatus() != stOk) RaiseHandleError();
    }
    connected_ = handle_->Active();
  };
  if (connecting_) {
    // Called back by the database component's Connect from within our own.
    openHandle();
    return;
  }
  ScopedFlag connecting(connecting_);
  Call(onBeforeConnect_, *this);
  database_->Connect();
  if (!database_->Connected()) throw EDatabaseError("Server connection error");
  openHandle();
  Call(onAfterConnect_, *this);
}

void TZTransact::Disconnect() {
  if (!connected_) return;
  {
    SqlWaitCursor wait(ShowSqlWait());
    Call(onBeforeDisconnect_, *this);
    connected_ = false;
    handle_->Close();
    if (handle_->GetStatus() != stOk) RaiseHandleError();
  }
  Call(onAfterDisconnect_, *this);
}

int TZTransact::ExecuteStatement(const std::string& sql,
                                 const std::span<const FieldValue>* params) {
  CheckConnected();
  SqlWaitCursor wait(ShowSqlWait());
  ClearQuerySql clear(*query_);
  query_->SetSql(sql);
  int count = params != nullptr ? query_->Execute(*params) : query_->ExecuteCommand();
  if (query_->Status() != qsCommandDone) {
    const std::string errorText = query_->ErrorText();
    const unsigned errorCode = query_->ErrorNumber();
    DoError(false);
    RaiseError(errorText, sql, errorCode);
  }
  DoDataChange(sql);
  if (autoCommit_) Commit();
  return count;
}

int TZTransact::ExecSql(const std::string& sql) {
  return ExecuteStatement(sql, nullptr);
}

int TZTransact::ExecSqlParams(const std::string& sql, std::span<const FieldValue> params) {
  return ExecuteStatement(sql, &params);
}

std::string TZTransact::ExecFunc(const std::string& expression) {
  CheckConnected();
  SqlWaitCursor wait(ShowSqlWait());
  std::string result;
  {
    ClearQuerySql clear(*query_);
    const std::string statement = "SELECT " + expression;
    query_->SetSql(statement);
    query_->Open();
    if (query_->Status() != qsRowsReady) {
      const std::string errorText = query_->ErrorText();
      const unsigned errorCode = query_->ErrorNumber();
      query_->Close();
      DoError(false);
      RaiseError(errorText, statement, errorCode);
    }
    result = query_->FieldValue(0);
    query_->Close();
  }
  if (autoCommit_) Commit();
  return result;
}

void TZTransact::Commit() {
  CheckConnected();
  SqlWaitCursor wait(ShowSqlWait());
  handle_->Commit();
  if (handle_->GetStatus() != stOk) RaiseHandleError();
  DoCommit();
}

void TZTransact::Rollback() {
  CheckConnected();
  SqlWaitCursor wait(ShowSqlWait());
  handle_->Rollback();
  if (handle_->GetStatus() != stOk) RaiseHandleError();
  DoRollback();
}

void TZTransact::DoError(bool /*handled*/) {}

void TZTransact::DoDataChange(const std::string& sql) {
  if (!onDataChange_) return;
  std::string buffer = sql;
  std::string word;
  CutWord(buffer, kWordDelimiters, word);
  word = UpperCase(word);
  if (word == "UPDATE" || word == "INSERT" || word == "DELETE") onDataChange_(*this);
}

void TZTransact::DoCommit() {
  Call(onCommit_, *this);
}
void TZTransact::DoRollback() {
  Call(onRollback_, *this);
}
void TZTransact::DoApplyUpdates(TComponent& sender) {
  Call(onApplyUpdates_, sender);
}

int TZTransact::BatchExec(const std::string& script) {
  std::unique_ptr<TZSqlScanner> scanner = CreateSqlScanner(sqlDialect_);
  scanner->SetShowLineBreaks(true);
  batchCurPos_ = 0;
  batchCurLen_ = 0;
  batchCurrentLine_ = 1;
  int result = 0;
  auto finish = [&] {
    scanner.reset();
    if (onAfterBatchExec_) onAfterBatchExec_(*this, result);
  };
  try {
    scanner->SetText(script);
    for (;;) {
      std::string statement;
      scanner->ExtractStatement(batchCurPos_, batchCurLen_, statement, batchCurrentLine_);
      if (statement.empty()) break;
      try {
        if (onBeforeBatchExec_) onBeforeBatchExec_(*this, statement);
        result = ExecSql(statement);
        if (onAfterBatchExec_) onAfterBatchExec_(*this, result);
      } catch (const EDatabaseError& error) {
        if (!onBatchError_) throw;
        bool stop = true;
        onBatchError_(*this, error, stop);
        if (stop) throw;
      }
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
  return result;
}

}  // namespace tabulix
