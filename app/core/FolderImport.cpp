#include "app/core/FolderImport.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <list>

#include "app/core/ChildProcess.h"
#include "app/core/ImportChannel.h"
#include "framework/FormatMessage.h"
#include "mysql/ColumnName.h"

namespace tabulix::app {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Running {
  std::size_t index;
  ChildProcess child;
  Clock::time_point start;
  ChannelProgress progress;
  std::optional<ChannelResult> result;
};

// The last non-empty line of a text.
std::string LastLine(const std::string& text) {
  std::size_t end = text.find_last_not_of("\r\n");
  if (end == std::string::npos) return {};
  const std::size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end - (start == std::string::npos ? 0 : start + 1) + 1);
}

void Finish(Running& run, TableResult& out) {
  const int status = run.child.Wait();
  out.seconds = SecondsSince(run.start);
  out.rowsTotal = run.progress.total;
  if (run.result) {
    out.ok = run.result->status == 0;
    out.rowsRead = run.result->rowsRead;
    out.record = run.result->record;
    out.message = run.result->message;
  } else {
    // Ended before it could say how: a crash, or a failure before the import began.
    out.ok = false;
    out.rowsRead = run.progress.copied;
    const std::string said = LastLine(run.child.ErrorText());
    out.message = !said.empty()
                      ? said
                      : FormatMessage("The import ended with status %s", {std::to_string(status)});
  }
  if (out.ok && status != 0) {
    out.ok = false;
    out.message = FormatMessage("The import ended with status %s", {std::to_string(status)});
  }
}

}  // namespace

std::vector<TableResult> RunFolderImport(const std::vector<FolderTable>& tables,
                                         const FolderImportSettings& settings,
                                         FolderProgress* progress) {
  std::vector<TableResult> results(tables.size());
  for (std::size_t i = 0; i < tables.size(); ++i) results[i].table = tables[i];
  const auto start = Clock::now();
  auto lastUpdate = start - std::chrono::seconds(1);
  std::list<Running> running;
  std::size_t next = 0;
  int done = 0;
  std::int64_t rowsDone = 0;    // rows copied by finished tables
  std::int64_t totalsDone = 0;  // their record counts
  int tablesKnown = 0;          // tables whose record count is known

  auto report = [&](bool force) {
    if (!progress) return;
    if (!force && Clock::now() - lastUpdate < std::chrono::milliseconds(100)) return;
    lastUpdate = Clock::now();
    FolderProgressState state;
    state.tables = static_cast<int>(tables.size());
    state.done = done;
    state.running = static_cast<int>(running.size());
    state.seconds = SecondsSince(start);
    state.rowsCopied = rowsDone;
    std::int64_t known = totalsDone;
    int knownTables = tablesKnown;
    std::int64_t leftRunning = 0;
    for (const Running& run : running) {
      state.rowsCopied += run.progress.copied;
      if (run.progress.total > 0 || run.progress.copied > 0) {
        known += run.progress.total;
        ++knownTables;
        leftRunning += std::max<std::int64_t>(0, run.progress.total - run.progress.copied);
      }
    }
    const auto waiting = static_cast<std::int64_t>(tables.size() - next) +
                         (static_cast<std::int64_t>(running.size()) - (knownTables - tablesKnown));
    if (knownTables > 0) {
      state.rowsLeft = leftRunning + waiting * (known / knownTables);
    } else if (waiting == 0) {
      state.rowsLeft = 0;
    }
    progress->Update(state);
  };

  while (next < tables.size() || !running.empty()) {
    while (static_cast<int>(running.size()) < std::max(1, settings.jobs) && next < tables.size()) {
      const std::size_t index = next++;
      const FolderTable& table = tables[index];
      if (!table.problem.empty()) {
        results[index].message = table.problem;
        ++done;
        continue;
      }
      // The table is named after its file, not typed: a file named like a reserved word
      // (DECIMAL.DB) or with blanks still makes a table of that name.
      ChildProcess::Options options;
      options.argv = {settings.executable,
                      "import",
                      table.path,
                      "--database",
                      settings.database,
                      "--table",
                      QuoteColumnName(table.table),
                      "--channel-fd",
                      "3"};
      options.argv.insert(options.argv.end(), settings.importArgs.begin(),
                          settings.importArgs.end());
      if (settings.password)
        options.environment.push_back("TABULIX_PASSWORD=" + *settings.password);
      if (!settings.logDir.empty()) {
        options.outputPath =
            (std::filesystem::path(settings.logDir) / (table.table + ".log")).string();
      }
      try {
        running.push_back({index, ChildProcess(options), Clock::now(), {}, std::nullopt});
      } catch (const std::exception& e) {
        results[index].message = e.what();
        ++done;
      }
    }
    std::vector<pollfd> fds;
    for (const Running& run : running) {
      for (int fd : {run.child.ChannelFd(), run.child.ErrorFd()}) {
        if (fd >= 0) fds.push_back({fd, POLLIN, 0});
      }
    }
    if (!fds.empty() && ::poll(fds.data(), fds.size(), 100) < 0 && errno != EINTR) break;
    for (const pollfd& p : fds) {
      if (p.revents == 0) continue;
      for (Running& run : running) run.child.ReadFrom(p.fd);
    }
    for (auto it = running.begin(); it != running.end();) {
      for (const std::string& line : it->child.TakeChannelLines()) {
        ChannelResult result;
        if (!ParseProgressLine(line, it->progress) && ParseResultLine(line, result)) {
          it->result = result;
        }
      }
      if (it->child.ChannelFd() >= 0 || it->child.ErrorFd() >= 0) {
        ++it;
        continue;
      }
      TableResult& out = results[it->index];
      Finish(*it, out);
      ++done;
      rowsDone += out.rowsRead;
      if (out.rowsTotal > 0 || out.rowsRead > 0) {
        totalsDone += std::max(out.rowsTotal, out.rowsRead);
        ++tablesKnown;
      }
      it = running.erase(it);
    }
    report(false);
  }
  report(true);
  return results;
}

}  // namespace tabulix::app
