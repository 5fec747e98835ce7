#include "mysql/TDirMySqlTransact.h"

#include <algorithm>
#include <exception>

#include "framework/FormatMessage.h"
#include "framework/NumberText.h"
#include "mysql/TDirConnect.h"
#include "mysql/TDirMySqlQuery.h"
#include "mysql/TZMonitorList.h"
#include "mysql/internal/ClientApi.h"
#include "mysql/internal/ShortText.h"

namespace tabulix {

using mysql_internal::MySqlHandle;
using mysql_internal::TrimText;

TDirMySqlTransact::TDirMySqlTransact(TDirConnect* connect) {
  SetConnect(connect);
  SetTransactSafe(false);
}

TDirMySqlTransact::~TDirMySqlTransact() {
  try {
    if (Active()) TDirMySqlTransact::EndTransaction();
  } catch (const std::exception& e) {
    NotifyMonitors("ROLLBACK", e.what(), true);
  } catch (...) {
  }
  CloseAttachedQueries();
  // The handle's owner logs out.
}

std::string TDirMySqlTransact::ErrorText() {
  if (Connect()) {
    std::string current = TrimText(handle_.ErrorText());
    // A failure whose message the handle no longer holds (a COMMIT refused before a BEGIN
    // that went through) keeps its text, number and statement until the next operation.
    if (!current.empty() || GetStatus() != stFail) {
      const unsigned number = current.empty() ? 0 : handle_.ErrorNumber();
      if (number != lastErrorNumber_ || current != lastError_) lastErrorStatement_.clear();
      lastError_ = std::move(current);
      lastErrorNumber_ = number;
    }
  }
  return lastError_;
}

unsigned TDirMySqlTransact::ErrorNumber() {
  ErrorText();
  return lastErrorNumber_;
}

std::string TDirMySqlTransact::ErrorStatement() {
  ErrorText();
  return lastErrorStatement_;
}

void TDirMySqlTransact::SetError(std::string text, unsigned number, std::string statement) {
  lastError_ = std::move(text);
  lastErrorNumber_ = number;
  lastErrorStatement_ = std::move(statement);
}

void TDirMySqlTransact::Open() {
  if (Active()) Close();
  SetStatus(stNotSupported);
  SetStatus(stFail);
  TDirConnect* connect = Connect();
  if (!connect || !connect->Active()) return;
  const auto port = static_cast<unsigned>(StrToInt(connect->Port()));
  loggedIn_ = false;
  handle_ = MySqlHandle::Init();
  if (localInfile_) handle_.AllowLocalInfile();
  const std::string report = FormatMessage("CONNECT %s", {connect->Database()});
  if (handle_.Connect(connect->Host(), connect->Login(), connect->Password(), connect->Database(),
                      port, CLIENT_CONNECT_WITH_DB, connect->Socket())) {
    loggedIn_ = true;
    SetError({}, 0, {});
    NotifyMonitors(report, "", false);
    StartTransaction();
    SetActive(GetStatus() == stOk);
  } else {
    // ErrorText replaces the text by the client library's own message for the failure.
    SetError("Server connection error", handle_.ErrorNumber(), {});
    SetStatus(stFail);
    NotifyMonitors(report, lastError_, true);
  }
}

void TDirMySqlTransact::Close() {
  EndTransaction();
  CloseAttachedQueries();
  if (Active()) {
    handle_.Reset();
    if (Connect())
      NotifyMonitors(FormatMessage("DISCONNECT %s", {Connect()->Database()}), "", false);
  }
  // A handle whose login failed is freed as well.
  handle_.Reset();
  loggedIn_ = false;
  SetActive(false);
}

void TDirMySqlTransact::StartTransaction() {
  SetStatus(stFail);
  // Without a login there is no connection to begin a transaction on.
  if (!Connect() || !loggedIn_) return;
  if (TransactSafe()) SendBracket("BEGIN", false);
  SetActive(true);
  SetStatus(stOk);
}

void TDirMySqlTransact::EndTransaction() {
  if (Active() && TransactSafe() && loggedIn_) SendBracket("ROLLBACK", false);
  SetStatus(stOk);
}

void TDirMySqlTransact::Commit() {
  Finish("COMMIT");
}

void TDirMySqlTransact::Rollback() {
  Finish("ROLLBACK");
}

void TDirMySqlTransact::Finish(const std::string& statement) {
  SetStatus(stFail);
  if (!Active()) return;
  SetStatus(stOk);
  if (!TransactSafe()) return;
  SendBracket(statement, true);
  std::string firstError = TrimText(handle_.ErrorText());
  const unsigned firstNumber = handle_.ErrorNumber();
  SendBracket("BEGIN", true);
  std::string beginError = TrimText(handle_.ErrorText());
  if (!beginError.empty()) {
    SetStatus(stFail);
    SetError(std::move(beginError), handle_.ErrorNumber(), "BEGIN");
  } else if (!firstError.empty()) {
    // The next transaction has begun, but the work of this one was not committed: that is a
    // failure, whatever the BEGIN said.
    SetStatus(stFail);
    SetError(std::move(firstError), firstNumber, statement);
  }
}

void TDirMySqlTransact::SendBracket(const std::string& statement, bool reportError) {
  const bool ok = handle_.Query(statement);
  if (ok) handle_.DiscardResults();
  const std::string error = reportError ? TrimText(handle_.ErrorText()) : std::string();
  NotifyMonitors(statement, error, !error.empty());
}

void TDirMySqlTransact::AttachQuery(TDirMySqlQuery* query) {
  if (std::find(attached_.begin(), attached_.end(), query) == attached_.end()) {
    attached_.push_back(query);
  }
}

void TDirMySqlTransact::DetachQuery(TDirMySqlQuery* query) {
  attached_.erase(std::remove(attached_.begin(), attached_.end(), query), attached_.end());
}

void TDirMySqlTransact::CloseAttachedQueries() noexcept {
  // Closing a query detaches it, so work on a copy.
  const std::vector<TDirMySqlQuery*> queries = attached_;
  for (TDirMySqlQuery* query : queries) query->Close();
  attached_.clear();
}

}  // namespace tabulix
