#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/core/FolderTables.h"

namespace tabulix::app {

// How import-dir runs: every table is imported by the tool itself, started as
// "EXECUTABLE import FILE --database DATABASE --table TABLE --channel-fd 3 IMPORTARGS...",
// at most jobs at a time, each in its own process with its own server connections (the
// database layer is single-threaded and keeps process-wide state, so tables run side by side
// only as processes).
struct FolderImportSettings {
  std::string executable;
  std::string database;
  std::vector<std::string> importArgs;  // connection options, --bulk, ...
  int jobs = 1;
  // Given to every import as TABULIX_PASSWORD when set.
  std::optional<std::string> password;
  // Each import's log (its standard output) goes to LOGDIR/TABLE.log; nowhere when empty.
  std::string logDir;
};

// What became of one table.
struct TableResult {
  FolderTable table;
  bool ok = false;
  std::int64_t rowsRead = 0;
  std::int64_t rowsTotal = 0;  // the table's record count as the import reported it
  std::optional<std::int64_t> rowsOnServer;
  double seconds = 0;
  std::string message;      // why it failed
  std::int64_t record = 0;  // the record that failed, 0 for none
};

// How far a folder import is, for a progress display.
struct FolderProgressState {
  int tables = 0;
  int done = 0;
  int running = 0;
  std::int64_t rowsCopied = 0;
  double seconds = 0;
  // Rows still to copy, estimated (the tables not started yet are counted at the mean size
  // of those started); negative when nothing is known yet.
  std::int64_t rowsLeft = -1;
};

class FolderProgress {
 public:
  virtual ~FolderProgress() = default;
  // At most about ten times a second, and once at the end.
  virtual void Update(const FolderProgressState& state) = 0;
};

// Imports every table; a table that fails does not stop the others. The results are in the
// order of tables; rowsOnServer is left for the caller to fill.
std::vector<TableResult> RunFolderImport(const std::vector<FolderTable>& tables,
                                         const FolderImportSettings& settings,
                                         FolderProgress* progress);

}  // namespace tabulix::app
