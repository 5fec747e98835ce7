#pragma once

#include <string>
#include <vector>

#include "app/core/FolderImport.h"

namespace tabulix::app {

// The summary import-dir prints: one line per table (file, rows read, rows on the server,
// seconds, result: "ok" or "failed: " and the message, with the record when one was refused),
// columns aligned, under a header, then "N tables: K imported, M failed".
std::string SummaryTable(const std::vector<TableResult>& results);

// The same as a JSON document: folder, database, jobs, bulk, seconds, one object per table
// (file, table, status "ok"/"failed", rows_read, rows_on_server (null when unknown), seconds,
// message, record (null for none)), imported and failed.
std::string JsonReport(const std::vector<TableResult>& results, const std::string& folder,
                       const std::string& database, int jobs, bool bulk, double seconds);

}  // namespace tabulix::app
