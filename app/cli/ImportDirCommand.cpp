#include "app/cli/ImportDirCommand.h"

#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/cli/CliLogin.h"
#include "app/cli/ImportCommand.h"
#include "app/cli/TerminalLoginPrompt.h"
#include "app/core/FolderImport.h"
#include "app/core/FolderReport.h"
#include "app/core/FolderTables.h"
#include "app/core/ImportProgress.h"
#include "framework/Exceptions.h"
#include "mysql/ColumnName.h"
#include "mysql/TZMySqlDatabase.h"
#include "mysql/TZMySqlTransact.h"

namespace tabulix::app {
namespace {

void PrintError(const std::string& message) {
  std::fflush(stdout);
  std::fputs(message.c_str(), stderr);
  if (message.empty() || message.back() != '\n') std::fputc('\n', stderr);
}

// The tables done, the rows copied, the rate and the time left, redrawn in place on standard
// error while it is a terminal.
class TerminalFolderProgress final : public FolderProgress {
 public:
  TerminalFolderProgress() : shown_(::isatty(STDERR_FILENO) == 1) {}
  ~TerminalFolderProgress() override {
    if (drawn_) std::fputs("\r\x1b[K", stderr);
  }
  TerminalFolderProgress(const TerminalFolderProgress&) = delete;
  TerminalFolderProgress& operator=(const TerminalFolderProgress&) = delete;

  void Update(const FolderProgressState& s) override {
    if (!shown_) return;
    const double rate = s.seconds > 0 ? static_cast<double>(s.rowsCopied) / s.seconds : 0;
    char text[160];
    std::snprintf(text, sizeof text, "\r%d of %d tables done, %d running, %lld rows, %.0f rows/s",
                  s.done, s.tables, s.running, static_cast<long long>(s.rowsCopied), rate);
    std::string line = text;
    if (s.rowsLeft > 0) {
      const std::string left = TimeLeftText(s.rowsCopied, s.rowsCopied + s.rowsLeft, rate);
      if (!left.empty()) line += ", " + left;
    }
    line += "\x1b[K";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = true;
  }

 private:
  bool shown_;
  bool drawn_ = false;
};

// This program's own file, to start the imports with.
std::string OwnExecutable() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw Exception("Cannot find this program's own file: " + error.message());
  return self.string();
}

// The options every import gets besides its file, database and table.
std::vector<std::string> ImportArgs(const CommandLine& line) {
  std::vector<std::string> args = {"--host", line.host, "--port", line.port, "--user", line.user};
  if (!line.socket.empty()) args.insert(args.end(), {"--socket", line.socket});
  if (!line.encoding.empty()) args.insert(args.end(), {"--encoding", line.encoding});
  if (line.withoutMemos) args.push_back("--without-memos");
  if (line.strict) args.push_back("--strict");
  if (line.bulk) args.push_back("--bulk");
  if (line.unitRows > 0) args.insert(args.end(), {"--unit-rows", std::to_string(line.unitRows)});
  if (line.skipUniqueChecks) args.push_back("--skip-unique-checks");
  if (line.skipForeignKeyChecks) args.push_back("--skip-foreign-key-checks");
  return args;
}

// The rows of every target table as the server counts them; unknown for a table it does not
// have (or when it cannot be reached, which is said once).
void CountServerRows(const CommandLine& line, const std::string& password,
                     std::vector<TableResult>& results) {
  try {
    TZMySqlDatabase database;
    database.SetHost(line.host);
    database.SetPort(line.port);
    database.SetSocket(line.socket);
    database.SetLogin(line.user);
    database.SetPassword(password);
    database.SetDatabase(line.database);
    database.SetLoginPrompt(false);
    TZMySqlTransact transaction;
    transaction.SetDatabase(&database);
    database.SetConnected(true);
    for (TableResult& result : results) {
      if (!result.table.problem.empty()) continue;
      try {
        const std::string count =
            transaction.ExecFunc("COUNT(*) FROM " + QuoteColumnName(line.database) + "." +
                                 QuoteColumnName(result.table.table));
        std::int64_t rows = 0;
        const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), rows);
        if (error == std::errc() && end == count.data() + count.size()) result.rowsOnServer = rows;
      } catch (const std::exception&) {
        // No such table: nothing of it is on the server.
      }
    }
  } catch (const std::exception& e) {
    PrintError(std::string("Cannot count the rows on the server: ") + e.what());
  }
}

}  // namespace

int RunImportDir(const CommandLine& given) {
  const auto start = std::chrono::steady_clock::now();
  CommandLine line = given;
  FolderImportSettings settings;
  std::vector<FolderTable> tables;
  try {
    settings.password = CliLogin::KnownPassword(line.passwordFile, std::getenv("TABULIX_PASSWORD"));
    if (!settings.password) {
      // Asked once here; every import gets it.
      TerminalLoginPrompt prompt;
      std::string user = line.user;
      std::string password;
      if (!prompt.Execute(line.database, user, password)) {
        PrintError("login cancelled");
        return 2;
      }
      line.user = user;
      settings.password = password;
    }
    tables = ListFolderTables(line.file);
    settings.executable = OwnExecutable();
    settings.database = line.database;
    settings.importArgs = ImportArgs(line);
    settings.jobs = line.jobs;
    settings.logDir = line.logDir;
    if (!line.logDir.empty()) std::filesystem::create_directories(line.logDir);
  } catch (const std::exception& e) {
    PrintError(e.what());
    return 1;
  }
  std::vector<TableResult> results;
  {
    TerminalFolderProgress progress;
    results = RunFolderImport(tables, settings, &progress);
  }
  CountServerRows(line, *settings.password, results);
  const std::string summary = SummaryTable(results);
  std::fwrite(summary.data(), 1, summary.size(), stdout);
  std::fflush(stdout);
  bool failed = false;
  for (const TableResult& r : results) failed = failed || !r.ok;
  if (!line.reportFile.empty()) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ofstream report(line.reportFile, std::ios::binary | std::ios::trunc);
    report << JsonReport(results, line.file, line.database, line.jobs, line.bulk, seconds);
    if (!report.flush()) {
      PrintError("Cannot write the report " + line.reportFile);
      return 1;
    }
  }
  return failed ? 1 : 0;
}

}  // namespace tabulix::app
