#pragma once

#include <optional>

#include "app/core/CommandLine.h"
#include "dataset/TZBulkWriter.h"

namespace tabulix::app {

// Exit statuses of tabulix-cli import.
inline constexpr int kImportDone = 0;
inline constexpr int kImportFailed = 1;
inline constexpr int kLoginCancelled = 2;

// tabulix-cli import: loads the table as the window's load does and runs the window's import
// through the same engine. Standard output gets exactly the log lines, one per line; standard
// error gets the progress while it is a terminal, and the message of a failure (for a failed
// record also its number in the source table). The password comes from --password-file, else
// TABULIX_PASSWORD, else the terminal; without any the login is cancelled. Gives kImportDone
// after a complete run, kLoginCancelled for a cancelled login, kImportFailed otherwise.
// With --channel-fd, progress and the result also go as lines to that descriptor
// (ImportChannel.h). With --bulk the engine runs in bulk mode (BulkSettings).
int RunImport(const CommandLine& line);

// The engine's bulk settings for the command line's --bulk and its options; empty without it.
std::optional<TZBulkSettings> BulkSettings(const CommandLine& line);

}  // namespace tabulix::app
