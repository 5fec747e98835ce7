#include "app/cli/ImportCommand.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/cli/CliLogin.h"
#include "app/cli/TerminalLoginPrompt.h"
#include "app/core/FileOpenDialog.h"
#include "app/core/ImportChannel.h"
#include "app/core/ImportEngine.h"
#include "app/core/ImportProgress.h"
#include "app/core/LogSink.h"
#include "app/core/MessageBoxes.h"
#include "app/core/StrictCheck.h"
#include "app/core/ValueWarningLines.h"
#include "framework/Exceptions.h"
#include "mysql/TZMySqlDatabase.h"
#include "source/TableBDE.h"

namespace tabulix::app {

namespace {

void WriteAll(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

// Records copied of N on standard error, redrawn in place, while standard error is a
// terminal; nothing otherwise.
class TerminalProgress final : public ImportProgress {
 public:
  TerminalProgress() : shown_(::isatty(STDERR_FILENO) == 1) {}

  void Update(std::int64_t done, std::int64_t total, double rowsPerSecond) override {
    if (!shown_) return;
    char text[128];
    std::snprintf(text, sizeof text, "\r%lld of %lld records, %.0f rows/s",
                  static_cast<long long>(done), static_cast<long long>(total), rowsPerSecond);
    const std::string left = TimeLeftText(done, total, rowsPerSecond);
    WriteAll(stderr, text);
    if (!left.empty()) WriteAll(stderr, ", " + left);
    WriteAll(stderr, "\x1b[K");
    std::fflush(stderr);
    drawn_ = true;
  }
  void Finish() override { Erase(); }

  // Takes the progress line away, so that a line of the log on the same terminal does not
  // land in it; the next update draws it again.
  void Erase() {
    if (!drawn_) return;
    WriteAll(stderr, "\r\x1b[K");
    std::fflush(stderr);
    drawn_ = false;
  }

 private:
  bool shown_;
  bool drawn_ = false;
};

// Progress and the result as lines on the descriptor that import-dir reads (ImportChannel.h),
// besides the terminal's display.
class ChannelReports final : public ImportProgress {
 public:
  ChannelReports(int fd, ImportProgress& terminal) : fd_(fd), terminal_(terminal) {}

  void Update(std::int64_t done, std::int64_t total, double rowsPerSecond) override {
    terminal_.Update(done, total, rowsPerSecond);
    Write(ProgressLine({done, total}));
  }
  void Finish() override { terminal_.Finish(); }
  void Result(const ChannelResult& result) { Write(ResultLine(result)); }

 private:
  void Write(std::string_view line) const {
    if (fd_ < 0) return;
    while (!line.empty()) {
      const ssize_t n = ::write(fd_, line.data(), line.size());
      if (n < 0 && errno == EINTR) continue;
      // A parent that went away takes no more lines; the import goes on.
      if (n <= 0) return;
      line.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  int fd_;
  ImportProgress& terminal_;
};

// The log on standard output, one line each.
class StandardOutputLog final : public LogSink {
 public:
  explicit StandardOutputLog(TerminalProgress& progress)
      : progress_(progress), terminal_(::isatty(STDOUT_FILENO) == 1) {}

  void Clear() override {}
  void Add(std::string_view line) override {
    if (terminal_) progress_.Erase();
    WriteAll(stdout, line);
    std::fputc('\n', stdout);
  }

 private:
  TerminalProgress& progress_;
  bool terminal_;
};

// The one message the engine shows itself (a forbidden database name); kept for the exit.
class StandardErrorMessages final : public MessageBoxes {
 public:
  void ShowError(const std::string& message) override { shown = message; }
  std::string shown;
};

// The load's dialog, answered with the command line's file.
class GivenFile final : public FileOpenDialog {
 public:
  explicit GivenFile(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> Execute(const std::string& /*initialFolder*/) override {
    return path_;
  }

 private:
  std::string path_;
};

void PrintLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    WriteAll(stderr, line);
    std::fputc('\n', stderr);
  }
}

void PrintError(const std::string& message) {
  std::fflush(stdout);
  std::string text = message;
  if (text.empty() || text.back() != '\n') text.push_back('\n');
  WriteAll(stderr, text);
}

}  // namespace

std::optional<TZBulkSettings> BulkSettings(const CommandLine& line) {
  if (!line.bulk) return std::nullopt;
  TZBulkSettings settings;
  settings.unitRows = line.unitRows;
  settings.skipUniqueChecks = line.skipUniqueChecks;
  settings.skipForeignKeyChecks = line.skipForeignKeyChecks;
  return settings;
}

namespace {

// What the message of a stopped copy adds: the record and what is on the server.
std::string StoppedAt(std::int64_t record, std::int64_t onServer) {
  std::string text =
      "The import stopped at record " + std::to_string(record) + " of the source table; ";
  if (onServer == 0) return text + "no record is on the server.";
  if (onServer == record - 1) {
    return text + (onServer == 1 ? std::string("the record before it is on the server.")
                                 : "the " + std::to_string(onServer) +
                                       " records before it are on the server.");
  }
  // A bulk load rolls back the unit of the failing record: fewer records than those before
  // it are on the server.
  return text +
         (onServer == 1 ? std::string("record 1 is on the server")
                        : "records 1 to " + std::to_string(onServer) + " are on the server") +
         ", the records after it are not.";
}

}  // namespace

int RunImport(const CommandLine& line) {
  TerminalLoginPrompt prompt;
  TerminalProgress terminal;
  ChannelReports progress(line.channelFd, terminal);
  StandardOutputLog log(terminal);
  StandardErrorMessages messages;
  ChannelResult result;
  auto finish = [&](int status, std::string message) {
    result.status = status;
    result.message = message;
    progress.Result(result);
    if (!message.empty()) PrintError(message);
    return status;
  };
  std::optional<CliLogin> login;
  try {
    login.emplace(CliLogin::KnownPassword(line.passwordFile, std::getenv("TABULIX_PASSWORD")),
                  prompt);
  } catch (const std::exception& e) {
    return finish(kImportFailed, e.what());
  }
  ImportEngine engine({.log = &log,
                       .messages = &messages,
                       .login = &*login,
                       .cursor = nullptr,
                       .indicator = nullptr,
                       .progress = &progress});
  TZMySqlDatabase& database = engine.ZMySqlDatabase1();
  database.SetPort(line.port);
  database.SetSocket(line.socket);
  database.SetLogin(line.user);
  engine.SetBulk(BulkSettings(line));
  try {
    engine.TableBDE().SetReaderOptions({line.encoding, line.binaryFields, line.withoutMemos});
    engine.SetStrict(line.strict);
    GivenFile file(line.file);
    engine.Load(file, std::string(), nullptr);
    const ImportOutcome outcome = engine.Import({line.database, line.table, line.host});
    std::fflush(stdout);
    result.rowsRead = engine.RecordsRead();
    switch (outcome) {
      case ImportOutcome::Completed:
        // The values not read as stored, as a dump reports them; the log has them too.
        PrintLines(WarningLines(engine.TableBDE()));
        return finish(kImportDone, std::string());
      case ImportOutcome::Refused:
        return finish(kImportFailed, messages.shown);
      case ImportOutcome::NotConnected:
        return finish(kImportFailed, "not connected to the server");
    }
    return finish(kImportFailed, "the import did not complete");
  } catch (const EAbort&) {
    return finish(kLoginCancelled, "login cancelled");
  } catch (const EValuesNotAsStored& e) {
    std::fflush(stdout);
    PrintLines(e.Lines());
    result.status = kImportFailed;
    result.message = e.what();
    progress.Result(result);
    return kImportFailed;
  } catch (const std::exception& e) {
    result.rowsRead = engine.RecordsRead();
    std::string message = e.what();
    if (engine.FailedRecord() > 0) {
      result.record = engine.FailedRecord();
      if (message.empty() || message.back() != '\n') message.push_back('\n');
      message += StoppedAt(engine.FailedRecord(), engine.RecordsCopied());
    }
    return finish(kImportFailed, message);
  }
}

}  // namespace tabulix::app
