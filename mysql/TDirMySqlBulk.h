#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tabulix {

class TDirMySqlTransact;

// One entry of the server's SHOW WARNINGS.
struct TServerCondition {
  std::string level;  // "Note", "Warning" or "Error"
  unsigned code = 0;
  std::string message;
};

// Bulk statements on the connection of a direct MySQL transaction: plain statements whose
// results are read off, and LOAD DATA LOCAL INFILE fed from memory. Like the other direct
// classes it raises nothing: each call says whether it succeeded and keeps the server's answer.
// Unlike them it reports nothing to the monitors, because a bulk load is reported a unit at a
// time by its caller; and it holds no state beyond that answer, so it may run on another thread
// than the one that logged in, as long as only one thread uses the connection at a time.
class TDirMySqlBulk {
 public:
  explicit TDirMySqlBulk(TDirMySqlTransact& transact) : transact_(transact) {}

  // Sends one statement and reads off its results.
  bool Execute(std::string_view statement);
  // Sends a LOAD DATA LOCAL INFILE statement whose file is rows (the name in the statement is
  // not looked at). The transaction must have been opened with LocalInfile on. After it the
  // connection refuses local-file requests again.
  bool LoadLocal(std::string_view statement, std::string_view rows);
  // Sends a query and gives the first row of its result (no values when it has no row); a
  // null column is nullopt.
  bool QueryRow(std::string_view statement, std::vector<std::optional<std::string>>& row);
  // The server's SHOW WARNINGS for the last statement; empty when it cannot be read.
  std::vector<TServerCondition> Conditions();

  // What the last statement changed and how many warnings it left.
  std::uint64_t AffectedRows() const { return affectedRows_; }
  unsigned WarningCount() const { return warningCount_; }
  // The message and number of the last failure ("" and 0 after success).
  const std::string& ErrorText() const { return errorText_; }
  unsigned ErrorNumber() const { return errorNumber_; }
  // The last failure is the client library's own (the connection broke, the server went
  // away), not the server's refusal of what was sent.
  bool ClientError() const { return errorNumber_ >= 2000 && errorNumber_ < 3000; }

 private:
  // Records the failure of the last call (on the connection, or "not connected") and gives
  // false.
  bool Fail(bool connected);

  TDirMySqlTransact& transact_;
  std::uint64_t affectedRows_ = 0;
  unsigned warningCount_ = 0;
  std::string errorText_;
  unsigned errorNumber_ = 0;
};

}  // namespace tabulix
