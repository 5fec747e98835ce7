#pragma once

#include <string>
#include <vector>

#include "mysql/TDirTransact.h"
#include "mysql/internal/MySqlHandle.h"

struct st_mysql;

namespace tabulix {

class TDirMySqlQuery;

// The direct MySQL transaction: owns the client library's connection handle. Open logs in with
// the settings of the direct connection, Close logs out; each step is reported to the
// monitors. TransactSafe is false: the server's auto-commit mode does the committing.
class TDirMySqlTransact : public TDirTransact {
 public:
  explicit TDirMySqlTransact(TDirConnect* connect = nullptr);
  // Ends an open transaction (ROLLBACK when transaction-safe) and logs out; never raises.
  ~TDirMySqlTransact() override;

  // The client library's connection handle (MYSQL*); null until the first Open.
  st_mysql* Handle() const { return handle_.Get(); }
  const std::string& LastError() const { return lastError_; }
  // Whether the next Open offers the server LOAD DATA LOCAL INFILE (off by default). The
  // handle then serves only what TDirMySqlBulk::LoadLocal arms and refuses any other request.
  bool LocalInfile() const { return localInfile_; }
  void SetLocalInfile(bool value) { localInfile_ = value; }

  // The last message of the client library on the handle, trimmed ("" after success).
  std::string ErrorText() override;
  // The number that goes with ErrorText (0 when it is empty).
  unsigned ErrorNumber() override;
  // The bracket statement whose failure made the last Commit or Rollback fail; "" otherwise,
  // also after a failed login.
  std::string ErrorStatement() override;
  // Logs in (CONNECT report) and starts a transaction. Raises only the conversion error of a
  // Port text that is not a decimal integer, before anything is sent.
  void Open() override;
  // Ends the transaction and logs out (DISCONNECT report).
  void Close() override;
  // BEGIN when transaction-safe.
  void StartTransaction() override;
  // ROLLBACK when transaction-safe and open.
  void EndTransaction() override;
  // COMMIT then BEGIN when transaction-safe; judged by the error after the BEGIN.
  void Commit() override;
  // ROLLBACK then BEGIN when transaction-safe; judged by the error after the BEGIN.
  void Rollback() override;

 private:
  friend class TDirMySqlQuery;
  // Queries holding a result that still reads from this connection; logging out closes them
  // first, so no result outlives the connection it reads from.
  void AttachQuery(TDirMySqlQuery* query);
  void DetachQuery(TDirMySqlQuery* query);
  void CloseAttachedQueries() noexcept;
  // Sends a bracket statement and reports it; the answer is judged by the caller.
  void SendBracket(const std::string& statement, bool reportError);
  void Finish(const std::string& statement);
  void SetError(std::string text, unsigned number, std::string statement);

  mysql_internal::MySqlHandle handle_;
  bool loggedIn_ = false;
  bool localInfile_ = false;
  std::string lastError_;
  unsigned lastErrorNumber_ = 0;
  std::string lastErrorStatement_;
  std::vector<TDirMySqlQuery*> attached_;
};

}  // namespace tabulix
