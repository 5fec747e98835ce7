#pragma once

#include <string>

#include "framework/SharedEnums.h"

namespace tabulix {

class TDirConnect;

// The direct transaction, server-independent base: the one server connection through which a
// transaction component's statements run, with optional BEGIN/COMMIT/ROLLBACK brackets. The
// base supports no operation. Raises nothing of its own; failures are reported through
// GetStatus and ErrorText.
class TDirTransact {
 public:
  TDirTransact() = default;
  virtual ~TDirTransact();
  TDirTransact(const TDirTransact&) = delete;
  TDirTransact& operator=(const TDirTransact&) = delete;

  // The direct connection whose settings the login uses; not owned, may be null.
  TDirConnect* Connect() const { return connect_; }
  void SetConnect(TDirConnect* connect) { connect_ = connect; }
  // True while the server connection is open.
  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // When true, work is bracketed with BEGIN, COMMIT and ROLLBACK; when false none of them is
  // sent and the server commits every statement by itself.
  bool TransactSafe() const { return transactSafe_; }
  void SetTransactSafe(bool value) { transactSafe_ = value; }

  // Empty when the status is stOk or there is no connection; else the connection's text.
  virtual std::string ErrorText();
  // Beside ErrorText: the server's (or client library's) number for the failure, and the
  // bracket statement that failed ("" for a failed login). The base gives the connection's.
  virtual unsigned ErrorNumber();
  virtual std::string ErrorStatement();
  virtual TDirStatus GetStatus();
  virtual void SetStatus(TDirStatus value);
  virtual void Open();
  virtual void Close();
  virtual void StartTransaction();
  virtual void EndTransaction();
  virtual void Commit();
  virtual void Rollback();

 private:
  TDirStatus status_ = stNone;
  TDirConnect* connect_ = nullptr;
  bool active_ = false;
  bool transactSafe_ = true;
};

}  // namespace tabulix
