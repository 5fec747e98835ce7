#pragma once

#include <string>

#include "mysql/TDirConnect.h"

namespace tabulix {

// The direct MySQL connection. Connecting binds the client library and marks the connection
// ready; it opens no server connection of its own (the direct transaction does). Creating and
// dropping a database log in on a temporary server connection of their own.
class TDirMySqlConnect : public TDirConnect {
 public:
  TDirMySqlConnect();
  ~TDirMySqlConnect() override;

  // The message of the last failed create or drop.
  const std::string& LastError() const { return lastError_; }
  // What the server or the client library said about the last create or drop ("" and 0 when
  // it succeeded), for callers that want more than the fixed message.
  const std::string& ServerError() const { return serverError_; }
  unsigned ServerErrorNumber() const { return serverErrorNumber_; }

  // Empty after success, else LastError.
  std::string ErrorText() override;
  // After a failure: ServerErrorNumber, and the statement when the server refused it ("" when
  // the login failed).
  unsigned ErrorNumber() override;
  std::string ErrorStatement() override;
  // Binds the client library (its error propagates); contacts no server.
  void Connect() override;
  void Disconnect() override;
  // "CREATE DATABASE" on a temporary login without default database; reported to the
  // monitors. Raises only the binding error and the conversion error of a bad Port text.
  void CreateDatabase(const std::string& params) override;
  // "DROP DATABASE" on a temporary login into that database; reported to the monitors.
  void DropDatabase() override;

 private:
  std::string lastError_;
  std::string serverError_;
  unsigned serverErrorNumber_ = 0;
  std::string failedStatement_;
};

}  // namespace tabulix
