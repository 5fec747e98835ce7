#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/core/FieldGrid.h"
#include "dataset/TZBulkWriter.h"
#include "framework/StringList.h"
#include "framework/TComponent.h"

namespace tabulix {
class LoginDialogService;
class ScreenCursor;
class TZBatchSql;
class TZMonitor;
class TZMySqlDatabase;
class TZMySqlTable;
class TZMySqlTransact;
namespace source {
class TTableBDE;
}
}  // namespace tabulix

namespace tabulix::app {

class ConnectionIndicator;
class FileOpenDialog;
class ImportProgress;
class LogSink;
class MessageBoxes;
class Settings;

// What a load shows of the opened table: the file name without folder for LabelBDEdb, the
// record count for LabelDSzahl, and the field grid (its row count is LabelFDzahl).
struct LoadedSource {
  std::string fileName;
  std::int64_t recordCount = 0;
  std::vector<FieldGridRow> rows;
};

// Where an import goes, as the user typed it (EditMySQLdb, EditMySQLtable, EditMySQLhost).
struct ImportTarget {
  std::string database;
  std::string table;
  std::string host;
};

enum class ImportOutcome {
  Completed,     // every record is on the server and the connection is closed
  Refused,       // the database name is forbidden; the message box said so, nothing was done
  NotConnected,  // the first connect ended without a connection and without an error
};

// The import engine: the one place where a source table is loaded and copied into a MySQL
// table, for the window and the command line alike, so both produce the same log.
//
// It owns the components of the main window with their settings: the source table TableBDE
// (read-only), the connection ZMySqlDatabase1 (port 3306, user "root", no stored password,
// login prompt on), its transaction ZMySqlTransact1 (auto-commit, not transaction-safe, wait
// cursor), the batch executor ZBatchSql1 and the monitor ZMonitor1 on that transaction, and
// the target table dataset ZMySqlTable1 (read-only until an import, applied appended records
// dropped from its buffer so memory stays flat whatever the table size).
//
// It talks to the user only through the small interfaces of Services; a front end implements
// them and tests fake them:
//   - LogSink: the status log. Load clears it; Import adds the table definition, two lines per
//     monitor report ("SQL>" + statement trimmed, "SQL>[" + result + "]") and, after a copy,
//     one line per kind of value the reader could not take as stored.
//   - MessageBoxes: the refusal of a forbidden database name, the only message the engine
//     shows itself. Every other failure leaves Load and Import as an exception (the window's
//     message loop shows its message; EAbort, a cancelled login, is shown by nobody).
//   - LoginDialogService: the login prompt of the first connect (user name offered, empty
//     password); false cancels the import silently.
//   - ScreenCursor: the wait cursor the components show during server work.
//   - ConnectionIndicator: after every connect and disconnect of ZMySqlDatabase1.
//   - ImportProgress: records copied of N and rows per second during the copy loop, at most
//     about ten times a second; Finish when the loop ends.
//   - FileOpenDialog: given to Load; the window passes its dialog, the command line and the
//     window's "start with this file" one that answers with the file at once.
// LoginDialogService and ScreenCursor are process-wide platform services: while Load or
// Import runs, the engine installs its own (when given) and puts the previous ones back.
//
// Everything runs on the calling thread, to its end, before Load or Import returns.
class ImportEngine : public TComponent {
 public:
  struct Services {
    LogSink* log = nullptr;               // required
    MessageBoxes* messages = nullptr;     // required
    LoginDialogService* login = nullptr;  // nullptr: the installed one
    ScreenCursor* cursor = nullptr;       // nullptr: the installed one
    ConnectionIndicator* indicator = nullptr;
    ImportProgress* progress = nullptr;
  };

  explicit ImportEngine(Services services);
  ~ImportEngine() override;

  // The components, by the names of the window's design.
  source::TTableBDE& TableBDE() const { return *tableBDE_; }
  TZMySqlDatabase& ZMySqlDatabase1() const { return *database_; }
  TZMySqlTransact& ZMySqlTransact1() const { return *transact_; }
  TZMySqlTable& ZMySqlTable1() const { return *targetTable_; }
  TZBatchSql& ZBatchSql1() const { return *batch_; }
  TZMonitor& ZMonitor1() const { return *monitor_; }

  // The load: clears the log, closes the source table, blanks the field grid, and asks the
  // dialog for a file, starting in initialFolder. Nothing more when it is cancelled (the
  // result is empty; the front end keeps its labels). Otherwise the file's folder (with its
  // trailing "/") goes into settings as LastDBdir (when given) before the table is opened
  // read-only; a table that does not open raises the reader's message and stays closed. The
  // log is cleared again and the field names, the grid and the label texts are returned.
  std::optional<LoadedSource> Load(FileOpenDialog& dialog, const std::string& initialFolder,
                                   Settings* settings);

  // The field-name list and the field grid of the last load; empty while no table is open.
  const StringList& FieldNames() const { return fieldNames_; }
  const std::vector<FieldGridRow>& FieldGrid() const { return rows_; }

  // Whether the whole source table is read for values the reader cannot take as stored
  // before anything else happens; any such value then stops the import with their
  // description (EValuesNotAsStored, StrictCheck.h), before anything is written to the log or
  // sent to the server.
  bool Strict() const { return strict_; }
  void SetStrict(bool strict) { strict_ = strict; }

  // Bulk mode, off (empty) by default: the same table definition and the same values, but the
  // copy hands the records to a TZBulkWriter, which sends them in units of many rows, one
  // transaction each, over a connection of its own. The log then shows that connection's
  // login and logout, the question for the server's limits and one line pair per unit instead
  // of one per record. A record the server refuses rolls its unit back: FailedRecord names it,
  // RecordsCopied counts the rows of the committed units, which stay on the server.
  const std::optional<TZBulkSettings>& Bulk() const { return bulk_; }
  void SetBulk(std::optional<TZBulkSettings> settings) { bulk_ = settings; }

  // The import button: refuses a forbidden database name (message box, nothing logged),
  // writes the CREATE TABLE text into the log, then connects to the database "mysql" with the
  // login prompt, creates the target database, reconnects to it, replaces the target table,
  // copies every source record and disconnects. Failures of the create-database step and of
  // the drop-and-create step are swallowed (their monitor lines show them); every other
  // failure raises. A definition the server refuses only because its character columns could
  // in the worst case make a row too large is sent again after "SET SESSION
  // innodb_strict_mode = OFF" (both in the log), so wide legacy tables import. A failed record
  // raises with the dataset's or server's message unchanged; FailedRecord then names it, the
  // records before it stay on the server, and the connection stays open (the next import closes it
  // first).
  ImportOutcome Import(const ImportTarget& target);

  // The CREATE TABLE text of the last import that passed the name check.
  const std::string& TableDefinition() const { return tableDefinition_; }
  // The source record (1-based, in table order) whose copy failed in the last import; 0 when
  // none did.
  std::int64_t FailedRecord() const { return failedRecord_; }
  // The records the last import put on the server: in bulk mode, after a failure, records 1
  // to RecordsCopied are there and FailedRecord may lie further on.
  std::int64_t RecordsCopied() const { return copied_; }
  // The source records the last import's copy took from the table (posted, in bulk mode
  // handed to the writer), whether or not they are on the server.
  std::int64_t RecordsRead() const { return read_; }

  // The monitor's handler (ZMonitor1MonitorEvent): two log lines per report.
  void ZMonitor1MonitorEvent(const std::string& sql, const std::string& result);

 private:
  void ConnectionSequence(const ImportTarget& target);
  void ImportRun(const ImportTarget& target);
  // One statement through the batch executor, as the run sends all of its own.
  void RunStatement(const std::string& sql);
  void CopyRecords();
  void LogReaderWarnings();

  Services services_;
  source::TTableBDE* tableBDE_ = nullptr;
  TZMySqlDatabase* database_ = nullptr;
  TZMySqlTransact* transact_ = nullptr;
  TZMySqlTable* targetTable_ = nullptr;
  TZBatchSql* batch_ = nullptr;
  TZMonitor* monitor_ = nullptr;
  StringList fieldNames_;
  std::vector<FieldGridRow> rows_;
  std::string tableDefinition_;
  bool strict_ = false;
  std::optional<TZBulkSettings> bulk_;
  std::int64_t failedRecord_ = 0;
  std::int64_t copied_ = 0;
  std::int64_t read_ = 0;
};

}  // namespace tabulix::app
