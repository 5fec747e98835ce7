#include "app/core/ImportEngine.h"

#include <chrono>

#include "app/core/ConnectionIndicator.h"
#include "app/core/FileOpenDialog.h"
#include "app/core/ImportProgress.h"
#include "app/core/LogSink.h"
#include "app/core/MessageBoxes.h"
#include "app/core/Settings.h"
#include "app/core/StrictCheck.h"
#include "app/core/TableDefinition.h"
#include "app/core/ValueWarningLines.h"
#include "dataset/ZMySqlQuery.h"
#include "framework/Exceptions.h"
#include "framework/PlatformServices.h"
#include "mysql/TZBatchSql.h"
#include "mysql/TZMonitor.h"
#include "mysql/TZMySqlDatabase.h"
#include "mysql/TZMySqlTransact.h"
#include "source/TableBDE.h"

namespace tabulix::app {

namespace {

// The first database of the connection sequence: the server's own catalogue, which every
// server has under this name (names of databases are case-sensitive on most servers).
constexpr const char* kFirstDatabase = "mysql";

// The server's refusal of a table definition whose rows could be too large
// (ER_TOO_BIG_ROWSIZE).
constexpr unsigned kRowSizeTooLarge = 1118;

// Installs the engine's login prompt and cursor, where it has them, while a load or an import
// runs; the ones installed before come back afterwards.
class ServicesScope {
 public:
  ServicesScope(LoginDialogService* login, ScreenCursor* cursor)
      : scope_(cursor != nullptr ? cursor : &PlatformServices::Cursor(),
               login != nullptr ? login : &PlatformServices::LoginDialog()) {}

 private:
  PlatformServices::Scope scope_;
};

// Tells the progress display at most about ten times a second: one clock reading per record
// is a few nanoseconds beside the server's answer to an INSERT.
class ProgressReports {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kInterval = std::chrono::milliseconds(100);

  ProgressReports(ImportProgress* progress, std::int64_t total)
      : progress_(progress), total_(total), start_(Clock::now()), next_(start_ + kInterval) {}
  ~ProgressReports() {
    if (progress_ == nullptr) return;
    try {
      progress_->Finish();
    } catch (...) {
      // A display that cannot take its progress away must not hide how the copy ended.
    }
  }
  ProgressReports(const ProgressReports&) = delete;
  ProgressReports& operator=(const ProgressReports&) = delete;

  void Copied(std::int64_t done) {
    if (progress_ == nullptr) return;
    const Clock::time_point now = Clock::now();
    if (now < next_ && done != total_) return;
    next_ = now + kInterval;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    progress_->Update(done, total_, seconds > 0 ? static_cast<double>(done) / seconds : 0.0);
  }

 private:
  ImportProgress* progress_;
  std::int64_t total_;
  Clock::time_point start_;
  Clock::time_point next_;
};

// Runs a step whose failure the import run passes over: its monitor lines have shown it.
template <class Step>
void Guarded(Step&& step) {
  try {
    step();
  } catch (const Exception&) {
    // Shown in the log already; the run goes on.
  }
}

}  // namespace

ImportEngine::ImportEngine(Services services) : services_(services) {
  SetName("MainWin");
  tableBDE_ = &Create<source::TTableBDE>();
  tableBDE_->SetName("TableBDE");
  tableBDE_->SetReadOnly(true);

  database_ = &Create<TZMySqlDatabase>();
  database_->SetName("ZMySqlDatabase1");
  database_->SetPort("3306");
  database_->SetEncoding(etNone);
  database_->SetLogin("root");
  // No password is kept in the program: the login prompt asks at every first connect.
  database_->SetPassword("");
  database_->SetLoginPrompt(true);
  database_->SetAfterConnect([this](TComponent&) {
    if (services_.indicator != nullptr) services_.indicator->ShowConnected(true);
  });
  database_->SetAfterDisconnect([this](TComponent&) {
    if (services_.indicator != nullptr) services_.indicator->ShowConnected(false);
  });

  transact_ = &Create<TZMySqlTransact>();
  transact_->SetName("ZMySqlTransact1");
  transact_->SetDatabase(database_);
  transact_->SetOptions({toHourGlass});
  transact_->SetAutoCommit(true);
  transact_->SetTransactSafe(false);

  targetTable_ = &Create<TZMySqlTable>();
  targetTable_->SetName("ZMySqlTable1");
  targetTable_->SetDatabase(database_);
  targetTable_->SetCachedUpdates(false);
  targetTable_->SetShowRecordTypes(RecordTypeBit(ztModified) | RecordTypeBit(ztInserted) |
                                   RecordTypeBit(ztUnmodified));
  targetTable_->SetOptions(TZDatasetOptions{doHourGlass, doAutoFillDefs, doUseRowId});
  targetTable_->SetExtraOptions({moStoreResult});
  // The import only appends: rows on the server leave the buffer, so memory stays flat.
  targetTable_->SetDiscardAppliedInserts(true);
  targetTable_->SetReadOnly(true);

  batch_ = &Create<TZBatchSql>();
  batch_->SetName("ZBatchSql1");
  batch_->SetTransaction(transact_);

  monitor_ = &Create<TZMonitor>();
  monitor_->SetName("ZMonitor1");
  monitor_->SetTransaction(transact_);
  monitor_->SetOnMonitorEvent([this](const std::string& sql, const std::string& result) {
    ZMonitor1MonitorEvent(sql, result);
  });
}

ImportEngine::~ImportEngine() {
  // The components go while the engine is whole: their disconnect reports reach the monitor
  // before it goes, and the indicator is told.
  BeginDestruction();
}

std::optional<LoadedSource> ImportEngine::Load(FileOpenDialog& dialog,
                                               const std::string& initialFolder,
                                               Settings* settings) {
  ServicesScope scope(services_.login, services_.cursor);
  services_.log->Clear();
  tableBDE_->Close();
  fieldNames_.Clear();
  rows_.clear();
  std::optional<std::string> file = dialog.Execute(initialFolder);
  if (!file) return std::nullopt;
  const std::size_t slash = file->rfind('/');
  if (settings != nullptr) settings->SetLastDBdir(file->substr(0, slash + 1));
  tableBDE_->SetTableName(*file);
  tableBDE_->SetReadOnly(true);
  tableBDE_->Open();
  services_.log->Clear();
  if (!tableBDE_->Active()) return std::nullopt;
  tableBDE_->GetFieldNames(fieldNames_);
  rows_ = BuildFieldGrid(*tableBDE_);
  return LoadedSource{file->substr(slash + 1), tableBDE_->RecordCount(), rows_};
}

ImportOutcome ImportEngine::Import(const ImportTarget& target) {
  ServicesScope scope(services_.login, services_.cursor);
  failedRecord_ = 0;
  copied_ = 0;
  read_ = 0;
  if (IsForbiddenDatabaseName(target.database)) {
    services_.messages->ShowError(kForbiddenDatabaseMessage);
    return ImportOutcome::Refused;
  }
  if (strict_ && tableBDE_->Active()) CheckValuesAsStored(*tableBDE_);
  const std::size_t n = tableBDE_->Active() ? static_cast<std::size_t>(tableBDE_->FieldCount()) : 0;
  tableDefinition_ = BuildTableDefinition(TrimBlanks(target.table), rows_, n);
  services_.log->Add(tableDefinition_);
  ConnectionSequence(target);
  if (!database_->Connected()) return ImportOutcome::NotConnected;
  ImportRun(target);
  return ImportOutcome::Completed;
}

void ImportEngine::ConnectionSequence(const ImportTarget& target) {
  database_->SetConnected(false);
  database_->SetDatabase(kFirstDatabase);
  database_->SetHost(target.host);
  database_->SetLoginPrompt(true);
  database_->SetConnected(true);
}

void ImportEngine::ImportRun(const ImportTarget& target) {
  // The database is created under the trimmed name, and the reconnect uses that same name.
  const std::string database = TrimBlanks(target.database);
  Guarded([&] { RunStatement("create database if not exists " + database); });
  database_->SetConnected(false);
  database_->SetDatabase(database);
  database_->SetLoginPrompt(false);
  database_->SetConnected(true);
  Guarded([&] {
    RunStatement("drop table if exists " + TrimBlanks(target.table));
    try {
      RunStatement(tableDefinition_);
    } catch (const EDatabaseError& e) {
      if (e.ErrorCode() != kRowSizeTooLarge) throw;
      // The server counts every character column at four bytes a character, as if all were
      // full at once; a legacy table with many character fields fails that count although
      // its rows are far smaller and long values may leave the page. With the count relaxed
      // for this session the table is made; a row that really does not fit is refused when
      // it is posted, with its number.
      RunStatement("SET SESSION innodb_strict_mode = OFF");
      RunStatement(tableDefinition_);
    }
  });
  targetTable_->SetTableName(target.table);
  targetTable_->SetReadOnly(false);
  targetTable_->Open();
  CopyRecords();
  database_->SetConnected(false);
  LogReaderWarnings();
}

void ImportEngine::RunStatement(const std::string& sql) {
  batch_->Sql().Clear();
  batch_->Sql().Add(sql);
  batch_->ExecSql();
}

void ImportEngine::CopyRecords() {
  source::TTableBDE& source = *tableBDE_;
  TZMySqlTable& target = *targetTable_;
  const int n = source.Active() ? source.FieldCount() : 0;
  std::vector<TField*> from;
  std::vector<TField*> to;
  ProgressReports progress(services_.progress, source.Active() ? source.RecordCount() : 0);
  // Without an open table there is nothing to read: moving to the first record raises the
  // framework's message for a closed dataset.
  if (!source.Active()) source.First();
  for (int i = 0; i < n; ++i) from.push_back(&source.Fields(i));
  // In bulk mode the posts go to the writer; it takes them from its login on and gives them
  // back to the dataset when it goes.
  std::optional<TZBulkWriter> writer;
  if (bulk_) writer.emplace(target, *bulk_);
  std::int64_t posted = 0;
  try {
    FieldValue scratch;
    source.First();
    while (!source.Eof()) {
      target.Append();
      // The target's fields stand in the order of the table definition, which is the
      // source's field order; they are looked up once the first record is on its way.
      if (to.empty()) {
        for (int i = 0; i < n; ++i) to.push_back(&target.Fields(i));
      }
      for (int i = 0; i < n; ++i) to[i]->SetValue(from[i]->ValueView(scratch));
      target.Post();
      read_ = ++posted;
      if (!writer) copied_ = posted;
      progress.Copied(posted);
      source.Next();
    }
    if (writer) {
      writer->Finish();
      copied_ = writer->RowsCommitted();
    }
  } catch (const EBulkLoadError& e) {
    failedRecord_ = e.RecordNumber();
    copied_ = e.CommittedRows();
    throw;
  } catch (...) {
    // The record being read, set or posted: the one after those posted before it.
    failedRecord_ = posted + 1;
    if (writer) {
      // The unit on its way still lands (and is reported); the rows gathered after it do not.
      writer->Abandon();
      copied_ = writer->RowsCommitted();
    }
    throw;
  }
}

void ImportEngine::LogReaderWarnings() {
  for (const std::string& line : WarningLines(*tableBDE_)) services_.log->Add(line);
}

void ImportEngine::ZMonitor1MonitorEvent(const std::string& sql, const std::string& result) {
  services_.log->Add(TrimBlanks("SQL>" + sql));
  services_.log->Add("SQL>[" + result + "]");
}

}  // namespace tabulix::app
