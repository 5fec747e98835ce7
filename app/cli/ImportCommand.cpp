#include "app/cli/ImportCommand.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/cli/CliLogin.h"
#include "app/cli/TerminalLoginPrompt.h"
#include "app/core/FileOpenDialog.h"
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
    std::snprintf(text, sizeof text, "\r%lld of %lld records, %.0f rows/s\x1b[K",
                  static_cast<long long>(done), static_cast<long long>(total), rowsPerSecond);
    WriteAll(stderr, text);
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

int RunImport(const CommandLine& line) {
  TerminalLoginPrompt prompt;
  CliLogin login(CliLogin::KnownPassword(line.passwordFile, std::getenv("TABULIX_PASSWORD")),
                 prompt);
  TerminalProgress progress;
  StandardOutputLog log(progress);
  StandardErrorMessages messages;
  ImportEngine engine({.log = &log,
                       .messages = &messages,
                       .login = &login,
                       .cursor = nullptr,
                       .indicator = nullptr,
                       .progress = &progress});
  TZMySqlDatabase& database = engine.ZMySqlDatabase1();
  database.SetPort(line.port);
  database.SetSocket(line.socket);
  database.SetLogin(line.user);
  try {
    engine.TableBDE().SetReaderOptions({line.encoding, line.binaryFields, line.withoutMemos});
    engine.SetStrict(line.strict);
    GivenFile file(line.file);
    engine.Load(file, std::string(), nullptr);
    const ImportOutcome outcome = engine.Import({line.database, line.table, line.host});
    std::fflush(stdout);
    switch (outcome) {
      case ImportOutcome::Completed:
        // The values not read as stored, as a dump reports them; the log has them too.
        PrintLines(WarningLines(engine.TableBDE()));
        return kImportDone;
      case ImportOutcome::Refused:
        PrintError(messages.shown);
        return kImportFailed;
      case ImportOutcome::NotConnected:
        PrintError("not connected to the server");
        return kImportFailed;
    }
    return kImportFailed;
  } catch (const EAbort&) {
    PrintError("login cancelled");
    return kLoginCancelled;
  } catch (const EValuesNotAsStored& e) {
    std::fflush(stdout);
    PrintLines(e.Lines());
    return kImportFailed;
  } catch (const std::exception& e) {
    std::string message = e.what();
    if (engine.FailedRecord() > 0) {
      if (message.empty() || message.back() != '\n') message.push_back('\n');
      const std::int64_t before = engine.RecordsCopied();
      message += "The import stopped at record " + std::to_string(engine.FailedRecord()) +
                 " of the source table; " +
                 (before == 0 ? std::string("no record is on the server.")
                  : before == 1
                      ? std::string("the record before it is on the server.")
                      : "the " + std::to_string(before) + " records before it are on the server.");
    }
    PrintError(message);
    return kImportFailed;
  }
}

}  // namespace tabulix::app
