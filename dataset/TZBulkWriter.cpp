#include "dataset/TZBulkWriter.h"

#include <algorithm>
#include <charconv>
#include <exception>

#include "dataset/ZMySqlQuery.h"
#include "dataset/internal/BulkRows.h"
#include "framework/FormatMessage.h"
#include "framework/NumberText.h"
#include "mysql/TDirMySqlBulk.h"
#include "mysql/TZMonitorList.h"

namespace tabulix {

using dataset_internal::BulkRows;
using dataset_internal::LiteralKind;

namespace {

// The server answers LOAD DATA LOCAL INFILE with one of these when it, or the client side, does
// not allow it (ER_NOT_ALLOWED_COMMAND, ER_LOAD_INFILE_CAPABILITY_DISABLED,
// CR_LOAD_DATA_LOCAL_INFILE_REJECTED).
bool LocalInfileRefused(unsigned errorNumber) {
  return errorNumber == 1148 || errorNumber == 4166 || errorNumber == 2068;
}

// Failures that end the transaction or the connection rather than refuse a row (a lost
// connection, a deadlock, a lock wait timeout): no record is to blame.
bool NotTheRows(const TDirMySqlBulk& bulk) {
  const unsigned number = bulk.ErrorNumber();
  return (bulk.ClientError() && !LocalInfileRefused(number)) || number == 1205 || number == 1213;
}

constexpr const char* kNoLocalInfile =
    "The server does not allow LOAD DATA LOCAL INFILE (its local_infile setting is off); the "
    "rows go as multi-row INSERTs";

std::uint64_t ToNumber(const std::optional<std::string>& text) {
  std::uint64_t value = 0;
  if (text) std::from_chars(text->data(), text->data() + text->size(), value);
  return value;
}

}  // namespace

struct TZBulkWriter::Search {
  bool found = false;        // a record the server refuses on its own
  bool clientError = false;  // the search itself could not go on
  std::size_t row = 0;
  std::string error;
  unsigned errorNumber = 0;
  std::string statement;
};

TZBulkWriter::TZBulkWriter(TZCustomMySqlDataset& dataset, TZBulkSettings settings)
    : dataset_(dataset), settings_(settings), method_(settings.method) {
  TZMySqlDatabase* database = dataset.Database();
  if (!database) throw EDatabaseError("Database component not defined");
  const TDirConnect& from = database->Handle();
  connect_.SetHost(from.Host());
  connect_.SetPort(from.Port());
  connect_.SetSocket(from.Socket());
  connect_.SetDatabase(from.Database());
  connect_.SetLogin(from.Login());
  connect_.SetPassword(from.Password());
  connect_.Connect();
  transact_.SetLocalInfile(method_ == TZBulkMethod::LoadData);
  transact_.Open();
  if (!transact_.Active()) {
    throw EDatabaseError(transact_.ErrorText(), std::string(), transact_.ErrorNumber());
  }
  try {
    TDirMySqlBulk bulk(transact_);
    const std::string limits = "SELECT @@max_allowed_packet, @@local_infile";
    std::vector<std::optional<std::string>> row;
    const bool ok = bulk.QueryRow(limits, row) && row.size() == 2;
    Report(limits, bulk.ErrorText(), !ok);
    if (!ok) throw EDatabaseError(bulk.ErrorText(), limits, bulk.ErrorNumber());
    const std::uint64_t packet = ToNumber(row[0]);
    if (method_ == TZBulkMethod::LoadData && ToNumber(row[1]) == 0) {
      Report("LOAD DATA LOCAL INFILE", kNoLocalInfile, true);
      method_ = TZBulkMethod::Insert;
    }
    // Room for the statement's head and the packet's own header.
    const std::size_t packetRoom = packet > 4096 ? static_cast<std::size_t>(packet - 4096) : 1024;
    unitLimit_ = std::max<std::size_t>(1024, std::min(settings_.unitBytes, packetRoom / 2));
    auto setSession = [&](const char* statement) {
      const bool done = bulk.Execute(statement);
      Report(statement, bulk.ErrorText(), !done);
      if (!done) throw EDatabaseError(bulk.ErrorText(), statement, bulk.ErrorNumber());
    };
    if (settings_.skipUniqueChecks) setSession("SET SESSION unique_checks = 0");
    if (settings_.skipForeignKeyChecks) setSession("SET SESSION foreign_key_checks = 0");

    table_ = dataset.QuoteIdentifier(dataset.UpdatedTable());
    insertHead_ = dataset.InsertHead();
    columns_ = dataset.InsertColumns();
    loadStatement_ = "LOAD DATA LOCAL INFILE 'rows' INTO TABLE " + table_ +
                     " CHARACTER SET utf8mb4 FIELDS TERMINATED BY '\\t' ESCAPED BY '\\\\'"
                     " LINES TERMINATED BY '\\n' (" +
                     dataset.ColumnList(columns_) + ")";
  } catch (...) {
    transact_.Close();
    throw;
  }
  literals_.resize(columns_.size());
  kinds_.assign(columns_.size(), LiteralKind::Unknown);
  const BulkRows::Form form =
      method_ == TZBulkMethod::Insert ? BulkRows::Form::Insert : BulkRows::Form::Load;
  for (auto* unit : {&building_, &sending_}) {
    *unit = std::make_unique<BulkRows>(form, form == BulkRows::Form::Insert ? insertHead_ : "");
    (*unit)->Reserve(unitLimit_ + unitLimit_ / 8);
  }
  building_->Clear(1);
  dataset_.SetInsertWriter(this);
}

TZBulkWriter::~TZBulkWriter() {
  Abandon();
}

void TZBulkWriter::Report(const std::string& sql, const std::string& result, bool error) const {
  NotifyMonitors(sql, result, error);
}

std::string TZBulkWriter::UnitText(const BulkRows& rows, bool asInsert) const {
  return FormatMessage(
      asInsert ? "INSERT INTO %s rows %s to %s" : "LOAD DATA INTO %s rows %s to %s",
      {table_, IntToStr(rows.FirstRow()), IntToStr(rows.LastRow())});
}

std::string TZBulkWriter::CommittedText() const {
  return committed_ == 0 ? std::string("no rows committed")
                         : FormatMessage("rows 1 to %s committed", {IntToStr(committed_)});
}

void TZBulkWriter::WriteInsert(TZDataset& dataset, const std::byte* record) {
  if (failure_) throw *failure_;
  if (closed_) throw EDatabaseError("The bulk load is finished");
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    literals_[i] = dataset.FieldLiteral(record, columns_[i]);
  }
  building_->AddRow(literals_, kinds_);
  ++written_;
  const bool overflow = building_->Bytes() > unitLimit_;
  if (overflow || (settings_.unitRows > 0 &&
                   static_cast<std::int64_t>(building_->Count()) >= settings_.unitRows)) {
    Dispatch(overflow);
  }
}

void TZBulkWriter::Dispatch(bool overflow) {
  Collect();
  sending_->Clear(building_->LastRow() + 1);
  if (overflow && building_->Count() > 1) building_->MoveLastRowTo(*sending_);
  std::swap(building_, sending_);
  // Lines gathered for LOAD DATA after the server turned it down go as one INSERT.
  std::string insert;
  if (method_ == TZBulkMethod::Insert && sending_->GetForm() == BulkRows::Form::Load) {
    insert = sending_->InsertStatement(insertHead_, 0, sending_->Count(), kinds_);
  }
  inFlight_ = std::async(std::launch::async, &TZBulkWriter::SendUnit, std::ref(transact_),
                         std::cref(*sending_), std::cref(loadStatement_), std::move(insert));
}

TZBulkWriter::Outcome TZBulkWriter::SendUnit(TDirMySqlTransact& transact, const BulkRows& rows,
                                             const std::string& loadStatement, std::string insert) {
  Outcome out;
  try {
    TDirMySqlBulk bulk(transact);
    auto fail = [&](std::string statement) {
      out.error = bulk.ErrorText();
      out.errorNumber = bulk.ErrorNumber();
      out.clientError = NotTheRows(bulk);
      out.statement = std::move(statement);
      if (!out.clientError) bulk.Execute("ROLLBACK");
      return out;
    };
    if (!bulk.Execute("BEGIN")) return fail("BEGIN");
    if (!insert.empty()) {
      if (!bulk.Execute(insert)) return fail(std::string());
    } else if (rows.GetForm() == BulkRows::Form::Insert) {
      if (!bulk.Execute(rows.Text())) return fail(std::string());
    } else {
      if (!bulk.LoadLocal(loadStatement, rows.Text())) return fail(loadStatement);
      const bool allStored = bulk.AffectedRows() == rows.Count();
      if (bulk.WarningCount() > 0 || !allStored) {
        const std::uint64_t stored = bulk.AffectedRows();
        for (const TServerCondition& condition : bulk.Conditions()) {
          if (condition.level == "Note") continue;
          out.error = condition.message;
          out.errorNumber = condition.code;
          break;
        }
        if (out.error.empty() && !allStored) {
          out.error = FormatMessage("The server stored %s of %s rows",
                                    {IntToStr(static_cast<std::int64_t>(stored)),
                                     IntToStr(static_cast<std::int64_t>(rows.Count()))});
        }
        if (!out.error.empty()) {
          out.statement = loadStatement;
          bulk.Execute("ROLLBACK");
          return out;
        }
      }
    }
    if (!bulk.Execute("COMMIT")) return fail("COMMIT");
    out.ok = true;
  } catch (const std::exception& e) {
    out.ok = false;
    out.clientError = true;
    out.error = e.what();
  }
  return out;
}

void TZBulkWriter::Collect() {
  if (!inFlight_.valid()) return;
  const Outcome outcome = inFlight_.get();
  const BulkRows& unit = *sending_;
  const bool asInsert = unit.GetForm() == BulkRows::Form::Insert || method_ == TZBulkMethod::Insert;
  if (outcome.ok) {
    committed_ = unit.LastRow();
    ++unitsCommitted_;
    Report(UnitText(unit, asInsert), std::string(), false);
    return;
  }
  const std::string rolledBack = FormatMessage(
      "rows %s to %s rolled back", {IntToStr(unit.FirstRow()), IntToStr(unit.LastRow())});
  if (outcome.clientError) {
    Report(UnitText(unit, asInsert), outcome.error + "; " + rolledBack + ", " + CommittedText(),
           true);
    Fail(EBulkLoadError(outcome.error, outcome.statement, outcome.errorNumber, unit.FirstRow(),
                        false, committed_));
  }
  // The unit's own report says what the server said of it as a whole.
  Report(UnitText(unit, asInsert), outcome.error, true);
  Search search = FindFailingRow(unit);
  TDirMySqlBulk bulk(transact_);
  if (!search.found && !search.clientError) {
    // Every row went in on its own: the whole unit failed for a reason that its parts do not
    // share (a LOAD that only warned, a statement too big), and it is committed now.
    if (bulk.Execute("COMMIT")) {
      committed_ = unit.LastRow();
      ++unitsCommitted_;
      Report(UnitText(unit, true), std::string(), false);
      if (!asInsert && LocalInfileRefused(outcome.errorNumber)) {
        // The later units go as INSERTs (Dispatch turns their lines into value lists).
        Report("LOAD DATA LOCAL INFILE", kNoLocalInfile, true);
        method_ = TZBulkMethod::Insert;
      }
      return;
    }
    search.clientError = true;
    search.error = bulk.ErrorText();
    search.errorNumber = bulk.ErrorNumber();
    search.statement = "COMMIT";
  }
  if (!search.clientError) bulk.Execute("ROLLBACK");
  const std::int64_t record =
      search.found ? unit.FirstRow() + static_cast<std::int64_t>(search.row) : unit.FirstRow();
  std::string result = search.error;
  if (search.found) result += FormatMessage(" (record %s)", {IntToStr(record)});
  Report(UnitText(unit, true), result + "; " + rolledBack + ", " + CommittedText(), true);
  Fail(EBulkLoadError(search.error, search.statement, search.errorNumber, record, search.found,
                      committed_));
}

TZBulkWriter::Search TZBulkWriter::FindFailingRow(const BulkRows& rows) {
  Search search;
  TDirMySqlBulk bulk(transact_);
  auto stop = [&](const std::string& statement, bool found, std::size_t row) {
    search.found = found && !NotTheRows(bulk);
    search.clientError = NotTheRows(bulk);
    search.row = row;
    search.error = bulk.ErrorText();
    search.errorNumber = bulk.ErrorNumber();
    search.statement = statement;
    return search;
  };
  if (!bulk.Execute("BEGIN")) return stop("BEGIN", false, 0);
  // Rows [0, first) are in the open transaction; the first refused row is assumed in
  // [first, end) and is sought by halving. A row is blamed only when it fails on its own.
  const std::size_t count = rows.Count();
  std::size_t first = 0;
  std::size_t end = count;
  while (first < count) {
    if (end - first == 1) {
      const std::string statement = rows.InsertStatement(insertHead_, first, first + 1, kinds_);
      if (!bulk.Execute(statement)) return stop(statement, true, first);
      ++first;
      end = count;
      continue;
    }
    const std::size_t middle = first + (end - first) / 2;
    const std::string statement = rows.InsertStatement(insertHead_, first, middle, kinds_);
    if (bulk.Execute(statement)) {
      first = middle;
    } else if (NotTheRows(bulk)) {
      return stop(statement, false, first);
    } else {
      end = middle;
    }
  }
  return search;
}

void TZBulkWriter::Fail(EBulkLoadError error) {
  failure_ = error;
  throw error;
}

void TZBulkWriter::Finish() {
  if (failure_) throw *failure_;
  if (closed_) return;
  if (building_->Count() > 0) Dispatch(false);
  Collect();
  Detach();
}

void TZBulkWriter::Abandon() noexcept {
  try {
    if (inFlight_.valid() && !failure_) Collect();
  } catch (...) {
    // Reported to the monitors; the caller has its own failure to raise.
  }
  if (inFlight_.valid()) inFlight_.wait();
  Detach();
}

void TZBulkWriter::Detach() noexcept {
  if (dataset_.InsertWriter() == this) dataset_.SetInsertWriter(nullptr);
  if (!closed_) {
    closed_ = true;
    try {
      transact_.Close();
    } catch (...) {
      // Close reports and does not raise; nothing is left to clean up.
    }
  }
}

}  // namespace tabulix
