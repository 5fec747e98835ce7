#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "framework/Exceptions.h"

namespace tabulix {

// A bulk load stopped: the server refused a record (its message, the record's number and the
// refused statement) or the connection failed during a unit. The units before the failing one
// are committed and stay on the server; the failing unit was rolled back whole.
class EBulkLoadError : public EDatabaseError {
 public:
  EBulkLoadError(const std::string& message, std::string statement, unsigned errorCode,
                 std::int64_t recordNumber, bool recordRefused, std::int64_t committedRows)
      : EDatabaseError(message, std::move(statement), errorCode),
        recordNumber_(recordNumber),
        recordRefused_(recordRefused),
        committedRows_(committedRows) {}

  // The number (from 1, in the order the records were posted) of the record the server refused;
  // when no single record was at fault (RecordRefused false), the first record of the failed
  // unit.
  std::int64_t RecordNumber() const { return recordNumber_; }
  bool RecordRefused() const { return recordRefused_; }
  // Records 1 to CommittedRows are on the server.
  std::int64_t CommittedRows() const { return committedRows_; }

 private:
  std::int64_t recordNumber_;
  bool recordRefused_;
  std::int64_t committedRows_;
};

}  // namespace tabulix
