#pragma once

#include "app/core/CommandLine.h"

namespace tabulix::app {

// tabulix-cli import-dir: every Paradox and dBase table of a folder into a table named after
// its file, each by "tabulix-cli import" in a process of its own, --jobs at a time. The
// password is asked once (or taken from --password-file or TABULIX_PASSWORD) and given to every
// import. While standard error is a terminal it shows the tables done, the rows copied, rows
// per second and the time left. At the end it counts the rows of every target table on the
// server, prints the summary table on standard output and writes the JSON report to --report.
// Gives 0 when every table arrived, 1 when any failed (or the folder cannot be read), 2 when
// the login was cancelled.
int RunImportDir(const CommandLine& line);

}  // namespace tabulix::app
