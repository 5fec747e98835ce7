#include "dataset/ZQuery.h"

#include <algorithm>
#include <cstring>

#include "dataset/TZInsertWriter.h"
#include "dataset/ZBCDField.h"
#include "dataset/ZBlobStream.h"
#include "dataset/ZDecimalText.h"
#include "dataset/ZDirBlob.h"
#include "dataset/ZRecordLayout.h"
#include "dataset/ZUpdateSql.h"
#include "framework/AsciiCase.h"
#include "framework/FormatMessage.h"
#include "framework/SqlWaitCursor.h"
#include "framework/TMemoryStream.h"
#include "mysql/TZDatabase.h"
#include "mysql/TZTransact.h"
#include "sql/SqlText.h"

namespace tabulix {

using namespace record;

namespace {

constexpr const char* kDatabaseNotDefined = "Database component not defined";
constexpr const char* kTransactionNotDefined = "Transaction component not defined";
constexpr const char* kConstraintFailed = "Record or field constraint failed  : %s";

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

TUpdateKind KindOf(std::uint8_t status) {
  return status == ztInserted ? ukInsert : status == ztDeleted ? ukDelete : ukModify;
}

// A record outside the buffers (the contents of a record before an edit); its blob blocks go
// back to the buffer's table when it goes.
class ScratchRecord {
 public:
  explicit ScratchRecord(TSqlBuffer& buffer)
      : buffer_(buffer),
        data_(std::make_unique<std::byte[]>(static_cast<std::size_t>(buffer.RecordSize()))) {
    buffer_.InitWorkRecord(data_.get());
  }
  ~ScratchRecord() {
    try {
      buffer_.ClearRecord(data_.get(), false);
    } catch (...) {
      // Only a dropped layout fails here, and then the blocks went with the buffer.
    }
  }
  ScratchRecord(const ScratchRecord&) = delete;
  ScratchRecord& operator=(const ScratchRecord&) = delete;
  std::byte* Get() const { return data_.get(); }

 private:
  TSqlBuffer& buffer_;
  std::unique_ptr<std::byte[]> data_;
};

class ScopedFlag {
 public:
  explicit ScopedFlag(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
  ~ScopedFlag() { flag_ = saved_; }
  ScopedFlag(const ScopedFlag&) = delete;
  ScopedFlag& operator=(const ScopedFlag&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

}  // namespace

// While changes are applied, the fields read the record being applied; afterwards they read
// the current record again, also when applying raised.
class TZDataset::ApplyingScope {
 public:
  explicit ApplyingScope(TZDataset& dataset) : dataset_(dataset), saved_(dataset.applyingRecord_) {}
  ~ApplyingScope() { dataset_.applyingRecord_ = saved_; }
  ApplyingScope(const ApplyingScope&) = delete;
  ApplyingScope& operator=(const ApplyingScope&) = delete;
  void Set(std::byte* record) { dataset_.applyingRecord_ = record; }
  void Restore() { dataset_.applyingRecord_ = saved_; }

 private:
  TZDataset& dataset_;
  std::byte* saved_;
};

TZDataset::TZDataset(std::unique_ptr<TDirQuery> query, ServerKind serverKind)
    : serverKind_(serverKind), query_(std::move(query)) {}

TZDataset::~TZDataset() {
  try {
    Close();
  } catch (...) {
    // A destructor cannot raise; the failed step was reported to the monitors.
  }
  if (updateObject_) updateObject_->SetDataSet(nullptr);
  if (database_) {
    try {
      database_->RemoveDataset(*this);
    } catch (...) {
      // Closed above already; the registry entry is gone either way.
    }
  }
}

// --- connection components -------------------------------------------------------------------

void TZDataset::SetDatabase(TZDatabase* database) {
  if (database == database_) return;
  Close();
  if (database_) {
    TZDatabase* old = database_;
    database_ = nullptr;
    old->RemoveDataset(*this);
    RemoveFreeNotification(*old);
  }
  database_ = database;
  query_->SetConnect(database ? &database->Handle() : nullptr);
  if (!database) return;
  database->AddDataset(*this);
  FreeNotification(*database);
  if (!Loading() && (!transaction_ || transaction_->Database() != database)) {
    SetTransaction(database->GetDefaultTransaction());
  }
}

void TZDataset::SetTransaction(TZTransact* transaction) {
  if (transaction == transaction_) return;
  Close();
  if (transaction_) RemoveFreeNotification(*transaction_);
  transaction_ = transaction;
  query_->SetTransact(transaction ? &transaction->Handle() : nullptr);
  if (!transaction) return;
  FreeNotification(*transaction);
  if (!Loading() && transaction->Database() && transaction->Database() != database_) {
    SetDatabase(transaction->Database());
  }
}

void TZDataset::SetUpdateObject(TZUpdateSql* updateObject) {
  if (updateObject == updateObject_) return;
  if (updateObject_) {
    updateObject_->SetDataSet(nullptr);
    RemoveFreeNotification(*updateObject_);
  }
  updateObject_ = updateObject;
  if (updateObject_) {
    updateObject_->SetDataSet(this);
    FreeNotification(*updateObject_);
  }
}

void TZDataset::Notification(TComponent& component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (&component == database_ || &component == transaction_) {
    try {
      Close();
    } catch (...) {
      // The component goes whatever the close says.
    }
  }
  if (&component == database_) {
    database_->RemoveDataset(*this);
    database_ = nullptr;
    query_->SetConnect(nullptr);
  }
  if (&component == transaction_) {
    transaction_ = nullptr;
    query_->SetTransact(nullptr);
  }
  if (&component == updateObject_) updateObject_ = nullptr;
}

void TZDataset::FillConnectionComponents() {
  if (transaction_ && !transaction_->Database() && database_) transaction_->SetDatabase(database_);
  if (!database_ && transaction_ && transaction_->Database()) SetDatabase(transaction_->Database());
  if (!transaction_ && database_) SetTransaction(database_->GetDefaultTransaction());
}

void TZDataset::OpenAfterLoading() {
  FillConnectionComponents();
  if (!database_ || !transaction_) {
    openDeferred_ = true;  // the database component opens it when the other part arrives
    return;
  }
  Open();
}

void TZDataset::OpenDeferred() {
  if (!openDeferred_ || Active()) return;
  FillConnectionComponents();
  if (!database_ || !transaction_) return;
  openDeferred_ = false;
  Open();
}

void TZDataset::PrepareConnection() {
  if (!database_) throw EDatabaseError(kDatabaseNotDefined);
  if (!transaction_) throw EDatabaseError(kTransactionNotDefined);
  transaction_->Connect();
  if (!transaction_->Connected()) throw EDatabaseError("Error while activate transaction");
}

// --- options -----------------------------------------------------------------------------------

void TZDataset::SetCachedUpdates(bool value) {
  if (value == cachedUpdates_) return;
  if (!value && Active() && changes_.Count() > 0) {
    ApplyPendingChanges();
    CommitPendingChanges();
  }
  cachedUpdates_ = value;
}

void TZDataset::SetShowRecordTypes(std::uint8_t recordTypes) {
  std::optional<std::int32_t> current;
  if (Active() && State() == dsBrowse && CurrentIndex() >= 0 && CurrentIndex() < main_.Count()) {
    current = RecordId(main_.Items(static_cast<int>(CurrentIndex())));
  }
  main_.SetShowRecordTypes(recordTypes);
  if (!Active() || State() != dsBrowse) return;
  const int index = current ? main_.IndexOfId(*current) : -1;
  if (index < 0 || !MoveToRecord(index + 1)) First();
  Resync();
}

void TZDataset::SetIndexName(std::string name) {
  indexName_ = std::move(name);
  indexFieldNames_.clear();
}

void TZDataset::SetIndexFieldNames(std::string names) {
  indexFieldNames_ = std::move(names);
  indexName_.clear();
}

std::string TZDataset::OrderingText() const {
  if (!indexFieldNames_.empty()) {
    std::string fields = indexFieldNames_;
    std::replace(fields.begin(), fields.end(), ';', ',');
    return fields;
  }
  if (indexName_.empty()) return {};
  for (const TIndexDef& def : indexDefs_) {
    if (!EqualsIgnoreCase(def.Name, indexName_)) continue;
    if (!def.Has(ixDescending)) return def.Fields;
    std::string text;
    std::string rest = def.Fields;
    std::string field;
    for (;;) {
      CutWord(rest, ",", field);
      if (field.empty()) break;
      if (!text.empty()) text += ',';
      text += field + " DESC";
    }
    return text;
  }
  return {};
}

// --- open and close ------------------------------------------------------------------------------

void TZDataset::InternalOpen() {
  FillConnectionComponents();
  SqlWaitCursor wait(options_.Contains(doHourGlass));
  rowsAffected_ = 0;
  rowsFetched_ = 0;
  openDeferred_ = false;
  PrepareConnection();
  parser_.SetOrderBy(OrderingText());
  // The statement as it is sent: without the line break the analyser ends its lines with.
  const std::string text(Trim(parser_.GetText()));
  query_->SetSql(text);
  if (!(ReadOnly() && options_.Contains(doQuickOpen))) parser_.Analyse();
  query_->SetCursorFetch(options_.Contains(doCursorFetch));
  if (IsBlank(text)) throw EDatabaseError("Empty Query");
  query_->Open();
  if (!query_->Active()) {
    const std::string message = query_->ErrorText();
    const unsigned code = query_->ErrorNumber();
    transaction_->DoError(false);
    throw EDatabaseError(message, text, code);
  }
  BuildFieldDefs();
}

void TZDataset::BuildFieldDefs() {
  TFieldDefs& defs = MutableFieldDefs();
  const TSqlFields& described = parser_.Fields();
  const int count = query_->FieldCount();
  for (int column = parser_.UsesRowId() ? 1 : 0; column < count; ++column) {
    const std::string alias = query_->FieldAlias(column);
    const int found = described.FindByAlias(alias);
    const TFieldDesc* desc = found >= 0 ? &described[found] : nullptr;
    std::string name;
    TFieldType type;
    int size;
    bool required = false;
    bool readOnly;
    if (desc) {
      name = desc->Alias;
      type = desc->FieldType;
      size = type == ftBCD ? desc->Decimals : desc->Size;
      required = !desc->Nullable && !desc->IsAutoInc();
      readOnly = desc->ReadOnly;
    } else {
      name = alias;
      type = query_->FieldDataType(column);
      size = std::max(query_->FieldSize(column), query_->FieldMaxSize(column));
      readOnly = query_->FieldReadOnly(column);
    }
    AdjustFieldDef(desc, type, size);
    TFieldDef& def = defs.Add(std::move(name), type, size, required);
    def.ReadOnly = readOnly;
    def.FieldNo = column + 1;
  }
}

void TZDataset::AdjustFieldDef(const TFieldDesc* desc, TFieldType& fieldType, int& size) {
  if (fieldType != ftBCD) {
    if (fieldType == ftString) {
      size = size <= 0 ? 50 : std::min(size, 512);
    } else if (fieldType == ftBytes) {
      size = 50;
    } else {
      size = 0;
    }
  }
  if (options_.Contains(doEnableAutoInc) && fieldType == ftInteger && desc && desc->IsAutoInc()) {
    fieldType = ftAutoInc;
  }
}

std::unique_ptr<TField> TZDataset::CreateField(TFieldType dataType) {
  if (dataType == ftBCD) return std::make_unique<TZBCDField>();
  return TDataSet::CreateField(dataType);
}

void TZDataset::InternalFieldsReady() {
  SqlWaitCursor wait(options_.Contains(doHourGlass));
  std::vector<TBufferField> fields;
  fields.reserve(static_cast<std::size_t>(FieldCount()));
  int columns = 0;
  for (int k = 0; k < FieldCount(); ++k) {
    fields.push_back(BufferFieldOf(Fields(k)));
    columns = std::max(columns, Fields(k).FieldNo());
  }
  parser_.GetIndexDefs(indexDefs_);
  main_.BindFields(parser_.Fields(), fields);
  main_.BindIndices(parser_.Indices());
  changes_.TakeLayout(main_);

  // Descriptions stand in field order; the fields find theirs by column.
  std::vector<int> map(static_cast<std::size_t>(columns), -1);
  for (int k = 0; k < FieldCount(); ++k) map[static_cast<std::size_t>(Fields(k).FieldNo() - 1)] = k;
  access_.SetMap(std::move(map));

  const TSqlFields& descs = main_.SqlFields();
  columnNames_.clear();
  for (const TFieldDesc& desc : descs) columnNames_.push_back(QuoteFieldName(desc.FieldName));
  for (int k = 0; k < FieldCount(); ++k) {
    if (auto* bcd = dynamic_cast<TZBCDField*>(&Fields(k))) bcd->SetPrecision(descs[k].Size);
  }

  work_ = std::make_unique<std::byte[]>(static_cast<std::size_t>(main_.RecordSize()));
  main_.InitWorkRecord(work_.get());

  FetchRows(options_.Contains(doQueryAllRecords) ? -1 : 1);
  if (!sortFields_.empty()) main_.SetSort(sortFields_, sortDirection_);
}

void TZDataset::DropWorkRecord() noexcept {
  if (!work_) return;
  try {
    if (main_.HasLayout()) main_.ClearRecord(work_.get(), false);
  } catch (...) {
    // Without a layout the blocks went with the buffer.
  }
  work_.reset();
}

void TZDataset::InternalClose() {
  SqlWaitCursor wait(options_.Contains(doHourGlass));
  applyingRecord_ = nullptr;
  query_->Close();
  DropWorkRecord();
  changes_.ClearBuffer(true);
  main_.ClearBuffer(true);
  access_.Clear();
  columnNames_.clear();
  parser_.Reset();
  rowsFetched_ = 0;
}

// --- fetching ------------------------------------------------------------------------------------

bool TZDataset::ResultHasRows() {
  return query_->Active() && !query_->Eof();
}

void TZDataset::FetchRows(std::int64_t count) {
  if (!ResultHasRows()) return;
  SqlWaitCursor wait(options_.Contains(doHourGlass));
  bool ignored = false;
  const int before = main_.Count();
  DoProgress(0, 0, before, std::max(before, query_->RecordCount()), ignored);
  for (std::int64_t added = 0; count < 0 || added < count; ++added) {
    if (!FetchRow()) break;
  }
  const int after = main_.Count();
  DoProgress(2, 0, after, std::max(after, query_->RecordCount()), ignored);
}

std::int64_t TZDataset::InternalRecordCount() {
  return main_.Count();
}

bool TZDataset::InternalGotoRecord(std::int64_t index) {
  if (index < 0) return false;
  if (index >= main_.Count()) FetchRows(index + 1 - main_.Count());
  return index < main_.Count();
}

std::int64_t TZDataset::InternalLastIndex() {
  FetchAll();
  return main_.Count() - 1;
}

TBookmark TZDataset::InternalGetBookmark(std::int64_t index) {
  return RecordId(main_.Items(static_cast<int>(index)));
}

std::int64_t TZDataset::InternalBookmarkIndex(TBookmark bookmark) {
  if (bookmark < INT32_MIN || bookmark > INT32_MAX) return -1;
  return main_.IndexOfId(static_cast<std::int32_t>(bookmark));
}

void TZDataset::SortBy(const std::string& fieldList, std::uint8_t direction) {
  if (Active()) {
    CheckBrowseMode();
    main_.SetSort(fieldList, direction);
    Resync();
  }
  sortFields_ = fieldList;
  sortDirection_ = direction;
}

// --- the active record
// -----------------------------------------------------------------------------

std::byte* TZDataset::ActiveRecordBuffer() {
  if (!work_) return nullptr;
  if (applyingRecord_) return applyingRecord_;
  if (State() == dsEdit || State() == dsInsert) return work_.get();
  const std::int64_t index = CurrentIndex();
  if (State() == dsBrowse && index >= 0 && index < main_.Count()) {
    return main_.Items(static_cast<int>(index));
  }
  return nullptr;
}

RecordAccess* TZDataset::ActiveRecord() {
  std::byte* record = ActiveRecordBuffer();
  if (!record) return nullptr;
  access_.Bind(record);
  return &access_;
}

std::unique_ptr<TStream> TZDataset::CreateBlobStream(TField& field, TBlobStreamMode mode) {
  const int desc = main_.SqlFields().FindByField(&field);
  if (desc < 0) return nullptr;
  if (!ActiveRecordBuffer()) return std::make_unique<TMemoryStream>();
  if (main_.SqlFields()[desc].BlobKind == 0) {
    return std::make_unique<TZMemoStream>(*this, field, mode);
  }
  std::unique_ptr<TDirBlob> blob = CreateBlobObject();
  if (!blob) return nullptr;
  return std::make_unique<TZBlobStream>(*this, field, mode, std::move(blob));
}

void TZDataset::CacheBlobValue(int desc, std::string_view bytes) {
  std::byte* active = ActiveRecordBuffer();
  if (!active) return;
  main_.SetBlobValue(active, desc, bytes);
  const std::int64_t current = CurrentIndex();
  if (State() != dsEdit || current < 0 || current >= main_.Count()) return;
  std::byte* row = main_.Items(static_cast<int>(current));
  main_.SetBlobValue(row, desc, bytes);
  const int change = changes_.IndexOfId(RecordId(row));
  if (change >= 0) changes_.SetBlobValue(changes_.Items(change), desc, bytes);
}

// --- new records and edits
// ------------------------------------------------------------------------

void TZDataset::InitInsertedRecord(std::byte* /*record*/) {}

void TZDataset::SetDefault(std::byte* record, int desc, const std::string& text) {
  try {
    main_.SetValueText(record, desc, text);
  } catch (const Exception&) {
    // A default that does not convert leaves the field null, as a failed evaluation does.
  }
}

void TZDataset::InternalInitRecord() {
  std::byte* work = WorkRecord();
  if (!work) throw EDatabaseError("Fatal internal error");
  main_.ClearRecord(work, true);
  main_.InitWorkRecord(work);
  const TSqlFields& descs = main_.SqlFields();
  for (int i = 0; i < descs.Count(); ++i) {
    const TFieldDesc& desc = descs[i];
    const std::string expression = desc.Field ? desc.Field->DefaultExpression() : std::string();
    if (!expression.empty()) {
      SetDefault(work, i,
                 options_.Contains(doCalcDefault) ? EvaluateExpression(expression) : expression);
    } else if (!desc.IsAutoInc() && (!desc.DefaultValue.empty() ||
                                     (!desc.Nullable && options_.Contains(doAutoFillDefs)))) {
      SetDefault(work, i, EvaluateExpression(desc.DefaultValue));
    }
  }
  ClearBlobSlots(work);
}

void TZDataset::ClearBlobSlots(std::byte* record) {
  const TSqlFields& descs = main_.SqlFields();
  for (int i = 0; i < descs.Count(); ++i) {
    if (IsBlobSlotType(descs[i].FieldType)) main_.ResetBlobKind(record, i);
  }
}

void TZDataset::InternalEdit() {
  std::byte* record = main_.Items(static_cast<int>(CurrentIndex()));
  if (options_.Contains(doRefreshBeforeEdit) && !cachedUpdates_) RefreshRecord(record);
  main_.CopyRecord(record, WorkRecord(), true);
}

void TZDataset::InternalCancel() {
  if (work_ && main_.HasLayout()) main_.ClearRecord(work_.get(), true);
}

void TZDataset::RemoveById(TSqlBuffer& buffer, std::int32_t id) {
  const int index = buffer.IndexOfIdWithHidden(id);
  if (index >= 0) buffer.DropRecord(index);
}

std::int64_t TZDataset::InternalPost() {
  ScopedFlag posting(posting_);
  if (insertWriter_ && State() != dsEdit) {
    CheckConstraints();
    insertWriter_->WriteInsert(*this, WorkRecord());
    main_.ClearRecord(WorkRecord(), true);
    return -1;
  }
  const std::int64_t index = State() == dsEdit ? PostEdit() : PostInsert();
  // The values live on in the main buffer; the work record's memo blocks go now.
  main_.ClearRecord(WorkRecord(), true);
  return index;
}

std::int64_t TZDataset::PostInsert() {
  CheckConstraints();
  const std::int64_t current = CurrentIndex();
  // An append always adds at the end; only Insert uses the current position.
  const bool here = !IsAppending() && current >= 0 && current < main_.Count();
  if (!here) FetchAll();
  const int index = here ? static_cast<int>(current) : main_.Count();
  std::byte* record = here ? main_.InsertRecord(index) : main_.AddRecord();
  const std::int32_t id = RecordId(record);
  // Whatever fails on the way, up to the server's answer, takes the new record out again.
  try {
    main_.CopyRecord(WorkRecord(), record, false);
    SetRecordStatus(record, ztInserted);
    InitInsertedRecord(record);
    changes_.CopyRecord(record, changes_.AddRecord(), true);
    main_.FilterItem(index);
    if (!cachedUpdates_) {
      ApplyPendingChanges();
      CommitPendingChanges();
    }
  } catch (...) {
    RemoveById(changes_, id);
    RemoveById(main_, id);
    throw;
  }
  const bool sorted = !main_.SortFields().empty() || main_.Reversed();
  if (sorted) main_.SortAgain();
  const int at = main_.IndexOfId(id);
  if (discardAppliedInserts_ && !cachedUpdates_ && !sorted && at >= 0 && at == main_.Count() - 1 &&
      RecordStatus(main_.Items(at)) == ztUnmodified) {
    main_.DropRecord(at);
    return -1;
  }
  return at;
}

std::int64_t TZDataset::PostEdit() {
  CheckConstraints();
  const int index = static_cast<int>(CurrentIndex());
  std::byte* record = main_.Items(index);
  const std::int32_t id = RecordId(record);
  ScratchRecord previous(main_);
  main_.CopyRecord(record, previous.Get(), true);
  const std::uint8_t oldStatus = RecordStatus(record);
  const std::uint8_t status = oldStatus == ztUnmodified ? std::uint8_t{ztModified} : oldStatus;

  // The change buffer keeps the values from before the first edit that is still pending.
  bool madeCopy = false;
  const int existing = changes_.IndexOfId(id);
  if (existing < 0 || RecordStatus(changes_.Items(existing)) == ztUnmodified) {
    if (existing >= 0) changes_.RemoveRecord(existing);
    std::byte* change = changes_.AddRecord();
    changes_.CopyRecord(previous.Get(), change, true);
    SetRecordStatus(change, status);
    madeCopy = true;
  }
  main_.CopyRecord(WorkRecord(), record, false);
  SetRecordStatus(record, status);
  main_.FilterItem(index);
  ApplyAtOnce([&] {
    main_.CopyRecord(previous.Get(), record, true);
    main_.IndexOfIdWithHidden(id);
    if (madeCopy) RemoveById(changes_, id);
  });
  if (!main_.SortFields().empty() || main_.Reversed()) main_.SortAgain();
  return main_.IndexOfId(id);
}

void TZDataset::InternalDelete() {
  if (!CanModify()) throw EDatabaseError("Cannot modify a read-only dataset");
  ScopedFlag posting(posting_);
  const int index = static_cast<int>(CurrentIndex());
  std::byte* record = main_.Items(index);
  const std::int32_t id = RecordId(record);
  const std::uint8_t oldStatus = RecordStatus(record);
  if (oldStatus == ztInserted) {
    // Never sent: it simply goes.
    RemoveById(changes_, id);
    main_.RemoveRecord(index);
    RefillPosition(index);
    return;
  }
  SetRecordStatus(record, ztDeleted);
  bool madeCopy = false;
  int change = changes_.IndexOfId(id);
  if (change < 0) {
    changes_.CopyRecord(record, changes_.AddRecord(), true);
    change = changes_.Count() - 1;
    madeCopy = true;
  }
  const std::uint8_t oldChangeStatus = RecordStatus(changes_.Items(change));
  SetRecordStatus(changes_.Items(change), ztDeleted);
  main_.FilterItem(index);
  ApplyAtOnce([&] {
    // The row is still on the server: it stays as it was.
    SetRecordStatus(record, oldStatus);
    main_.IndexOfIdWithHidden(id);
    const int at = changes_.IndexOfId(id);
    if (madeCopy) {
      RemoveById(changes_, id);
    } else if (at >= 0) {
      SetRecordStatus(changes_.Items(at), oldChangeStatus);
    }
  });
  RefillPosition(index);
}

void TZDataset::ApplyAtOnce(const std::function<void()>& undo) {
  if (cachedUpdates_) return;
  try {
    ApplyPendingChanges();
    CommitPendingChanges();
  } catch (...) {
    undo();
    throw;
  }
}

void TZDataset::RefillPosition(std::int64_t index) {
  // The framework stays at this position: a row not fetched yet takes the place of the one
  // that went, rather than the dataset looking empty while the result has rows.
  if (index >= main_.Count()) FetchRows(index + 1 - main_.Count());
}

// --- applying ------------------------------------------------------------------------------------

void TZDataset::ApplyPendingChanges() {
  if (!CanModify() || changes_.Count() == 0) return;
  std::optional<EDatabaseError> deferred;
  {
    ApplyingScope scope(*this);
    for (int i = 0; i < changes_.Count(); ++i) {
      std::byte* change = changes_.Items(i);
      if (RecordStatus(change) == ztUnmodified) continue;
      const int index = main_.IndexOfIdWithHidden(RecordId(change));
      if (index < 0) continue;  // its record is gone
      std::byte* record = main_.Items(index);
      scope.Set(record);
      ApplyOne(change, record, deferred);
    }
  }
  if (deferred) throw *deferred;
  if (transaction_) transaction_->DoApplyUpdates(*this);
  if (!posting_ && Active()) Resync();
}

void TZDataset::ApplyOne(std::byte* change, std::byte* record,
                         std::optional<EDatabaseError>& deferred) {
  const std::uint8_t status = RecordStatus(change);
  const TUpdateKind kind = KindOf(status);
  for (;;) {
    try {
      if (onUpdateRecord_) {
        TUpdateAction action = uaApplied;
        onUpdateRecord_(*this, kind, action);
        if (action == uaFail) throw EDatabaseError("Error while posting updates");
        if (action == uaAbort) throw EAbort();
        if (action == uaRetry) continue;
      } else if (updateObject_) {
        updateObject_->Apply(kind, change, record);
      } else {
        ExecuteChange(change, record);
      }
      break;
    } catch (const EAbort&) {
      throw;
    } catch (const Exception& error) {
      const auto* databaseError = dynamic_cast<const EDatabaseError*>(&error);
      if (!onApplyUpdateError_ || !databaseError) {
        if (databaseError) throw;
        throw EDatabaseError(error.Message());
      }
      TDataAction action = daFail;
      onApplyUpdateError_(*this, *databaseError, action);
      if (action == daRetry) continue;
      if (action == daFail) {
        const int index = main_.IndexOfId(RecordId(record));
        if (index >= 0) main_.FilterItem(index);
        throw;
      }
      deferred.emplace(*databaseError);
      break;
    }
  }
  if (status == ztModified || status == ztInserted) AfterChangeApplied(change, record);
  SetRecordStatus(change, ztUnmodified);
  const int index = main_.IndexOfId(RecordId(record));
  if (RecordStatus(record) == ztDeleted) {
    if (index >= 0) main_.RemoveRecord(index);
  } else {
    SetRecordStatus(record, ztUnmodified);
  }
}

void TZDataset::CommitPendingChanges() {
  for (int i = 0; i < changes_.Count(); ++i) {
    const int index = main_.IndexOfIdWithHidden(RecordId(changes_.Items(i)));
    if (index < 0) continue;
    std::byte* record = main_.Items(index);
    if (RecordStatus(record) == ztDeleted) {
      main_.RemoveRecord(index);
    } else {
      SetRecordStatus(record, ztUnmodified);
      main_.FilterItem(index);
    }
  }
  changes_.EmptyRecords();
  if (!posting_ && Active()) Resync();
}

void TZDataset::AfterChangeApplied(const std::byte* /*change*/, std::byte* record) {
  if (options_.Contains(doRefreshAfterPost)) RefreshRecord(record);
}

// --- statements
// ------------------------------------------------------------------------------------

std::string TZDataset::UpdatedTable() const {
  return parser_.Tables().Count() > 0 ? parser_.Tables()[0] : std::string();
}

std::string TZDataset::ValueToLiteral(const std::string& valueText, const TFieldDesc& desc) {
  switch (desc.FieldType) {
    case ftSmallint:
    case ftInteger:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
      return valueText;
    default: {
      std::string literal;
      literal.reserve(valueText.size() + 8);
      literal += '\'';
      literal += EscapeSqlString(valueText);
      literal += '\'';
      return literal;
    }
  }
}

std::string TZDataset::FieldLiteral(const std::byte* record, int desc) {
  if (main_.IsNull(record, desc)) return "NULL";
  const TFieldDesc& d = main_.SqlFields()[desc];
  if (d.FieldType == ftString || d.FieldType == ftMemo) {
    // Texts are escaped straight from the slot: the one conversion every row of an import
    // pays for most, and it needs no value object on the way.
    const std::string_view text = main_.TextView(record, desc);
    std::string literal;
    literal.reserve(text.size() + 8);
    literal += '\'';
    AppendEscapedSqlString(literal, text);
    literal += '\'';
    return literal;
  }
  return ValueToLiteral(main_.GetValueText(record, desc), d);
}

std::vector<int> TZDataset::InsertColumns() const {
  const std::string table = UpdatedTable();
  const TSqlFields& descs = main_.SqlFields();
  std::vector<int> columns;
  if (table.empty()) return columns;
  for (int i = 0; i < descs.Count(); ++i) {
    if (!descs[i].ReadOnly && SameName(descs[i].TableName, table)) columns.push_back(i);
  }
  return columns;
}

std::string TZDataset::ColumnList(const std::vector<int>& descs) const {
  std::string list;
  for (int i : descs) {
    if (!list.empty()) list += ", ";
    list += ColumnName(i);
  }
  return list;
}

std::string TZDataset::InsertHead() {
  const std::vector<int> columns = InsertColumns();
  if (columns.empty()) {
    throw EDatabaseError(
        FormatMessage("No column of the table %s can be written", {UpdatedTable()}));
  }
  return "INSERT INTO " + QuoteIdentifier(UpdatedTable()) + " (" + ColumnList(columns) +
         ") VALUES ";
}

std::vector<int> TZDataset::SelectKeyFields(const std::string& tableName, bool& keyed) {
  const TSqlFields& descs = main_.SqlFields();
  const TIndexDesc* best = nullptr;
  for (const TIndexDesc& index : main_.SqlIndices()) {
    if (!SameName(index.TableName, tableName) || index.KeyType <= TIndexDesc::kNonUnique) continue;
    if (!best || index.KeyType > best->KeyType) best = &index;
  }
  std::vector<int> keys;
  if (best) {
    for (const std::string& column : best->Columns) {
      const int found = descs.FindByName(tableName, column);
      if (found >= 0) keys.push_back(found);
    }
  }
  keyed = !keys.empty();
  if (keyed) return keys;
  for (int i = 0; i < descs.Count(); ++i) {
    if (SameName(descs[i].TableName, tableName) && !IsBlobSlotType(descs[i].FieldType)) {
      keys.push_back(i);
    }
  }
  return keys;
}

std::string TZDataset::BuildWhereClause(const std::string& tableName, const std::byte* record) {
  bool keyed = false;
  std::string where;
  for (int desc : SelectKeyFields(tableName, keyed)) {
    where += where.empty() ? " WHERE " : " AND ";
    where += ColumnName(desc);
    if (main_.IsNull(record, desc)) {
      where += " IS NULL";
    } else {
      where += '=';
      where += FieldLiteral(record, desc);
    }
  }
  return where;
}

void TZDataset::ExecuteChange(const std::byte* change, std::byte* record) {
  const std::string table = UpdatedTable();
  if (table.empty()) return;
  const std::uint8_t status = RecordStatus(change);
  const TSqlFields& descs = main_.SqlFields();
  const std::string tableText = QuoteIdentifier(table);
  auto writable = [&](int i) { return !descs[i].ReadOnly && SameName(descs[i].TableName, table); };
  auto noColumn = [&] {
    return EDatabaseError(FormatMessage("No column of the table %s can be written", {table}));
  };
  std::string sql;
  if (status == ztInserted) {
    sql = InsertHead();
    sql += '(';
    bool first = true;
    for (int i : InsertColumns()) {
      if (!first) sql += ", ";
      first = false;
      sql += FieldLiteral(record, i);
    }
    sql += ')';
  } else if (status == ztModified) {
    bool anyColumn = false;
    std::string assignments;
    for (int i = 0; i < descs.Count(); ++i) {
      if (!writable(i)) continue;
      anyColumn = true;
      if (main_.GetValueText(change, i) == main_.GetValueText(record, i)) continue;
      if (!assignments.empty()) assignments += ", ";
      assignments += ColumnName(i);
      assignments += main_.IsNull(record, i) ? "= NULL" : "= " + FieldLiteral(record, i);
    }
    if (!anyColumn) throw noColumn();
    if (assignments.empty()) return;
    bool keyed = false;
    SelectKeyFields(table, keyed);
    sql = "UPDATE " + tableText + " SET " + assignments + BuildWhereClause(table, change);
    if (!keyed) sql += " LIMIT 1";
  } else if (status == ztDeleted) {
    const std::string where = BuildWhereClause(table, change);
    if (where.empty()) return;
    bool keyed = false;
    SelectKeyFields(table, keyed);
    sql = "DELETE FROM " + tableText + where;
    if (!keyed) sql += " LIMIT 1";
  } else {
    return;
  }
  if (!transaction_) throw EDatabaseError(kTransactionNotDefined);
  transaction_->ExecSql(sql);
}

std::string TZDataset::EvaluateExpression(const std::string& expression) {
  if (expression.empty()) return {};
  std::string rest = expression;
  std::string token;
  int index = -1;
  const int kind = TakeOperand(rest, {}, token, index);
  if ((kind == kTokenNumber || kind == kTokenString) && IsBlank(rest)) {
    return kind == kTokenString ? StripQuotes(token) : token;
  }
  if (!transaction_) return {};
  try {
    return transaction_->ExecFunc(expression);
  } catch (const std::exception&) {
    return {};
  }
}

bool TZDataset::RefreshRecord(std::byte* record) {
  const std::string table = UpdatedTable();
  if (table.empty() || !transaction_) return false;
  const std::string where(Trim(BuildWhereClause(table, record)));
  if (where.empty()) return false;
  TDirQuery& query = transaction_->QueryHandle();
  query.SetSql("SELECT * FROM " + QuoteIdentifier(table) + " " + where);
  query.Open();
  bool changed = false;
  if (query.Active() && !query.Eof()) {
    const TSqlFields& descs = main_.SqlFields();
    for (int i = 0; i < descs.Count(); ++i) {
      const TFieldDesc& desc = descs[i];
      if (desc.ColumnIndex < 0 || desc.ColumnIndex >= query.FieldCount()) continue;
      if (query.FieldIsNull(desc.ColumnIndex)) {
        if (!main_.IsNull(record, i)) {
          main_.SetNull(record, i, true);
          changed = true;
        }
        continue;
      }
      if (desc.BlobKind != 0) continue;
      const std::string text = query.FieldValue(desc.ColumnIndex);
      if (!main_.IsNull(record, i) && main_.GetValueText(record, i) == text) continue;
      try {
        main_.SetValueText(record, i, text);
        changed = true;
      } catch (const Exception&) {
        // A text that does not convert leaves the field as the conversion left it.
      }
    }
  }
  query.Close();
  return changed;
}

void TZDataset::ExecuteStatement() {
  if (!transaction_) throw EDatabaseError(kTransactionNotDefined);
  transaction_->Connect();
  rowsAffected_ = transaction_->ExecSql(parser_.GetText());
}

std::vector<FieldValue> TZDataset::GetFieldValues(const std::string& fieldNames) {
  std::vector<FieldValue> values;
  std::string rest = fieldNames;
  std::string name;
  for (;;) {
    CutWord(rest, ";", name);
    const std::string_view trimmed = Trim(name);
    if (name.empty()) break;
    if (!trimmed.empty()) values.push_back(FieldByName(trimmed).Value());
  }
  return values;
}

// --- constraints ---------------------------------------------------------------------------------

void TZDataset::EvaluateConstraint(const std::string& text, const TField* own) {
  constraintParser_.SetEquation(text);
  constraintParser_.ClearVariables();
  for (const std::string& name : constraintParser_.Variables()) {
    const TField* field = own ? own : FindField(name);
    constraintParser_.SetVariable(name, field ? field->Value() : FieldValue::Null());
  }
  const FieldValue result = constraintParser_.Evaluate();
  if (result.kind() != FieldValue::Kind::Boolean || !result.boolean()) {
    throw EDatabaseError(FormatMessage(kConstraintFailed, {text}));
  }
}

void TZDataset::CheckConstraints() {
  for (int k = 0; k < FieldCount(); ++k) {
    const TField& field = Fields(k);
    if (field.ReadOnly() || field.CustomConstraint().empty()) continue;
    if (main_.SqlFields()[k].ReadOnly) continue;
    EvaluateConstraint(field.CustomConstraint(), &field);
  }
  for (const TCheckConstraint& constraint : constraints_) {
    for (const std::string* text : {&constraint.CustomConstraint, &constraint.ImportedConstraint}) {
      if (!IsBlank(*text)) EvaluateConstraint(*text, nullptr);
    }
  }
}

// --- what the analyser and the buffers need
// --------------------------------------------------------

bool TZDataset::HasRowId(const std::string& /*tableName*/) {
  return true;
}

void TZDataset::ClearRowId(std::byte* rowId) {
  std::memset(rowId, 0, 9);
}

std::string TZDataset::RowIdToText(const std::byte* /*rowId*/) {
  return "0";
}

std::string TZDataset::ParamValueToLiteral(const FieldValue& value) {
  switch (value.kind()) {
    case FieldValue::Kind::Empty:
    case FieldValue::Kind::Null:
      return "NULL";
    case FieldValue::Kind::Integer:
    case FieldValue::Kind::Largeint:
      return IntToStr(value.integer());
    case FieldValue::Kind::Double:
      return FloatToSqlText(value.real());
    case FieldValue::Kind::Currency:
      return ScaledDecimalText(value.integer());
    case FieldValue::Kind::Boolean:
      return "'" + ValueToSqlText(value, ftBoolean, serverKind_) + "'";
    case FieldValue::Kind::DateTime:
      return "'" + ValueToSqlText(value, ftDateTime, serverKind_) + "'";
    case FieldValue::Kind::Bytes:
      return "'" + EscapeSqlString(value.bytes()) + "'";
  }
  return "NULL";
}

void TZDataset::AfterCopyRecord(TSqlBuffer& /*buffer*/, const std::byte* /*source*/,
                                std::byte* /*dest*/) {}

void TZDataset::BeforeClearRecord(TSqlBuffer& /*buffer*/, std::byte* /*record*/) {}

void TZDataset::DoProgress(int stage, int proc, int position, int max, bool& cancel) {
  if (onProgress_) onProgress_(*this, stage, proc, position, max, cancel);
}

bool TZDataset::AcceptRecord(const TSqlBuffer& /*buffer*/, const std::byte* /*record*/) {
  return true;
}

}  // namespace tabulix
