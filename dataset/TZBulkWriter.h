#pragma once

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dataset/EBulkLoadError.h"
#include "dataset/TZInsertWriter.h"
#include "mysql/TDirMySqlConnect.h"
#include "mysql/TDirMySqlTransact.h"

namespace tabulix {

class TZCustomMySqlDataset;

namespace dataset_internal {
class BulkRows;
enum class LiteralKind : std::uint8_t;
}  // namespace dataset_internal

// How a bulk load sends its rows: one LOAD DATA LOCAL INFILE per unit, its file streamed from
// memory, or one multi-row INSERT per unit.
enum class TZBulkMethod : std::uint8_t { LoadData, Insert };

struct TZBulkSettings {
  TZBulkMethod method = TZBulkMethod::LoadData;
  // At most this many rows per unit; 0 for no limit but the bytes.
  std::int64_t unitRows = 0;
  // At most about this many bytes per unit; never more than the server's max_allowed_packet
  // allows an INSERT (half of it for a LOAD unit, whose rows may have to go again as INSERTs).
  std::size_t unitBytes = std::size_t{4} << 20;
  // Session settings that the user may switch off for speed; both stay on unless asked.
  bool skipUniqueChecks = false;
  bool skipForeignKeyChecks = false;
};

// The bulk load of an open MySQL dataset: while it exists, the dataset's posted inserts come
// here (TZInsertWriter) instead of going to the server one statement each. The values are the
// literals of the dataset's own INSERT, gathered into units that go to the server in one
// transaction each, over a connection of the writer's own. A unit is sent on a second thread
// while the next one is being filled; that thread touches nothing but the writer's connection,
// which no other code uses, and everything else (the dataset, the monitors) stays on the
// caller's thread.
//
// Reports to the monitors, on the caller's thread: the writer's login and logout, the question
// for the server's limits, any session setting, and one step per unit naming its rows
// ("LOAD DATA INTO t rows 1 to 40000", "INSERT INTO t rows 1 to 40000") with "OK." or what
// went wrong.
//
// Failures: a unit the server refuses is rolled back whole; its rows are then sent again as
// INSERTs, in halves, inside one transaction, until the first record the server refuses on its
// own is found; that transaction is rolled back too. The error (EBulkLoadError) carries the
// server's message, the record's number and how many rows are committed: the units before the
// failing one stay on the server. A LOAD unit that the server took with warnings counts as
// refused, because such a load bends values (cuts texts, clips numbers, skips duplicates)
// where the INSERT fails; when its rows then all go in as INSERTs, the unit is committed that
// way and the load goes on.
class TZBulkWriter : public TZInsertWriter {
 public:
  // Logs in, asks the server for max_allowed_packet and local_infile (without LOAD DATA LOCAL
  // INFILE on the server the rows go as INSERTs, which the log says), applies the settings'
  // session switches and takes the dataset's inserts. Raises EDatabaseError when the login or
  // a setting fails. The dataset must be open.
  TZBulkWriter(TZCustomMySqlDataset& dataset, TZBulkSettings settings);
  // Abandon.
  ~TZBulkWriter() override;
  TZBulkWriter(const TZBulkWriter&) = delete;
  TZBulkWriter& operator=(const TZBulkWriter&) = delete;

  // From the dataset's post: adds the record's literals to the unit being filled, and hands
  // the unit over when it is full. Raises the failure of an earlier unit.
  void WriteInsert(TZDataset& dataset, const std::byte* record) override;
  // Sends the last unit, waits for every unit and logs out. Raises EBulkLoadError for a
  // failed unit (also later calls raise it again).
  void Finish();
  // After a failure elsewhere: waits for the unit on its way (its result is reported and
  // counted), drops the rows not sent yet, logs out and gives the dataset back its own
  // inserts. Never raises.
  void Abandon() noexcept;

  TZBulkMethod Method() const { return method_; }
  // The bytes a unit holds at most.
  std::size_t UnitLimit() const { return unitLimit_; }
  // Rows handed over by posts, and rows committed on the server (records 1 to that number).
  std::int64_t RowsWritten() const { return written_; }
  std::int64_t RowsCommitted() const { return committed_; }
  std::int64_t UnitsCommitted() const { return unitsCommitted_; }

 private:
  // What became of a unit on the sending thread.
  struct Outcome {
    bool ok = false;
    bool clientError = false;  // the connection failed, not the rows
    std::string error;
    unsigned errorNumber = 0;
    std::string statement;
  };
  struct Search;

  // The unit being filled is full: waits for the one on its way, then sends this one; with
  // overflow its last row, which made it too big, starts the next unit.
  void Dispatch(bool overflow);
  // Waits for the unit on its way and handles its outcome; raises when it failed.
  void Collect();
  // Runs on the sending thread.
  // insert, when not empty, replaces the unit's own statement.
  static Outcome SendUnit(TDirMySqlTransact& transact, const dataset_internal::BulkRows& rows,
                          const std::string& loadStatement, std::string insert);
  Search FindFailingRow(const dataset_internal::BulkRows& rows);
  std::string UnitText(const dataset_internal::BulkRows& rows, bool asInsert) const;
  void Report(const std::string& sql, const std::string& result, bool error) const;
  std::string CommittedText() const;
  [[noreturn]] void Fail(EBulkLoadError error);
  void Detach() noexcept;

  TZCustomMySqlDataset& dataset_;
  TZBulkSettings settings_;
  TZBulkMethod method_;
  TDirMySqlConnect connect_;
  TDirMySqlTransact transact_{&connect_};
  std::string table_;
  std::string insertHead_;
  std::string loadStatement_;
  std::vector<int> columns_;
  std::vector<std::string> literals_;
  std::vector<dataset_internal::LiteralKind> kinds_;
  std::unique_ptr<dataset_internal::BulkRows> building_;
  std::unique_ptr<dataset_internal::BulkRows> sending_;
  std::future<Outcome> inFlight_;
  std::size_t unitLimit_ = 0;
  std::int64_t written_ = 0;
  std::int64_t committed_ = 0;
  std::int64_t unitsCommitted_ = 0;
  std::optional<EBulkLoadError> failure_;
  bool closed_ = false;
};

}  // namespace tabulix
