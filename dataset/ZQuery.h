#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/ZDirBlob.h"
#include "dataset/ZParser.h"
#include "dataset/ZRecordAccess.h"
#include "dataset/ZSqlBuffer.h"
#include "framework/Exceptions.h"
#include "framework/TDataSet.h"
#include "mysql/TDirQuery.h"
#include "mysql/TZDatabaseDataset.h"
#include "sql/SqlParserIndexDef.h"
#include "sql/SqlParserOptions.h"
#include "sql/SqlParserOwner.h"
#include "sql/ZSqlParser.h"

namespace tabulix {

class TZDatabase;
class TZInsertWriter;
class TZTransact;
class TZUpdateSql;

// What a change is, for the update events and the update object.
enum TUpdateKind : std::uint8_t { ukModify = 0, ukInsert = 1, ukDelete = 2 };
// The answer of an OnUpdateRecord handler (starts at uaApplied): uaFail raises "Error while
// posting updates", uaAbort ends the apply silently (EAbort), uaRetry asks again, uaSkip and
// uaApplied count the change as done without a statement from the dataset.
enum TUpdateAction : std::uint8_t { uaFail, uaAbort, uaSkip, uaRetry, uaApplied };
// The answer of an OnApplyUpdateError handler (starts at daFail): daFail raises the error,
// daAbort counts the change as done and raises the last such error after the other changes,
// daRetry sends the change again.
enum TDataAction : std::uint8_t { daFail, daAbort, daRetry };

using TUpdateRecordEvent =
    std::function<void(TDataSet& dataSet, TUpdateKind kind, TUpdateAction& action)>;
using TDataSetErrorEvent =
    std::function<void(TDataSet& dataSet, const EDatabaseError& error, TDataAction& action)>;
// Stage 0 before a run, 1 per step, 2 after. Setting cancel in stage 1 of a fetch stops it.
using TZProgressEvent =
    std::function<void(TDataSet& sender, int stage, int proc, int position, int max, bool& cancel)>;

// A record constraint of the dataset's Constraints list; each text, when not blank, must
// evaluate to true with every variable bound to the field of that name.
struct TCheckConstraint {
  std::string CustomConstraint;
  std::string ImportedConstraint;
};

// The SQL table dataset, server-independent part: one SELECT as a record set of the dataset
// framework. It opens the statement with the analyser's catalogue requests, keeps the rows in
// the main record buffer, and turns every posted insert, edit and delete into one statement
// sent through the transaction component (immediately, or on ApplyPendingChanges with
// CachedUpdates).
//
// Records. The main buffer holds the rows fetched so far and those the dataset inserted; the
// change buffer a copy of each record with a pending change (the values before the first
// edit). The framework's fields read and write the active record (the current row, the work
// record of an edit or insert, or the row being applied) through one adapter. Rows are fetched
// on demand: RecordCount is the number fetched so far.
//
// Texts. The connection is utf8mb4 and every text (statements, values, the server's messages)
// is UTF-8 throughout, so nothing here passes through ConvertEncoding, whatever the database
// component's Encoding says.
//
// Statements. Column names are written through QuoteColumnName (plain names as they are,
// others and reserved words in backticks), table names exactly as given. A table without a
// primary or unique key is matched on all its non-blob columns, and its UPDATE and DELETE end
// in " LIMIT 1", so that deleting one of two identical rows deletes one. A posted insert or
// edit for which no column belongs to the updated table raises instead of sending nothing.
//
// Failures are EDatabaseError with the fixed messages of the Parts or the server's text (a
// refused statement carries the statement and the server's error number).
class TZDataset : public TDataSet,
                  public TSqlParserOwner,
                  public TSqlBufferOwner,
                  public TZDatabaseDataset {
 public:
  static constexpr int kVersion = 50300;

  ~TZDataset() override;

  int Version() const { return kVersion; }

  // Setting either closes an open dataset first. A new Database registers the dataset there
  // and, unless loading, replaces a missing Transaction or one of another database by the
  // database's default transaction; a new Transaction, unless loading, brings its Database.
  TZDatabase* Database() const { return database_; }
  void SetDatabase(TZDatabase* database);
  TZTransact* Transaction() const { return transaction_; }
  void SetTransaction(TZTransact* transaction);
  TZUpdateSql* UpdateObject() const { return updateObject_; }
  void SetUpdateObject(TZUpdateSql* updateObject);

  TZDatasetOptions Options() const override { return options_; }
  void SetOptions(TZDatasetOptions options) { options_ = options; }
  bool CachedUpdates() const { return cachedUpdates_; }
  // Switching it off applies and commits what is pending.
  void SetCachedUpdates(bool value);
  // A set of RecordTypeBit(TZRecordType); records of other statuses are hidden.
  std::uint8_t ShowRecordTypes() const { return main_.ShowRecordTypes(); }
  void SetShowRecordTypes(std::uint8_t recordTypes);

  // For an append-only caller such as the import (off by default): each appended record is
  // dropped from the main buffer as soon as its INSERT has been applied and committed, with
  // its memo blocks, so that memory stays flat however many rows are posted. The record is
  // then no longer among the dataset's records (the cursor stays where it was, at no record
  // for a fresh table). Records that another part still refers to (pending cached changes, a
  // client-side sort, a record the filter hides) are kept.
  bool DiscardAppliedInserts() const { return discardAppliedInserts_; }
  void SetDiscardAppliedInserts(bool value) { discardAppliedInserts_ = value; }
  // While set (null by default, not owned), a posted insert goes to the writer instead of the
  // server: the post checks the record as always, hands it over and keeps nothing of it, so
  // the cursor stays where it was. Edits and deletes are not affected.
  TZInsertWriter* InsertWriter() const { return insertWriter_; }
  void SetInsertWriter(TZInsertWriter* writer) { insertWriter_ = writer; }

  bool ReadOnly() const override { return TDataSet::ReadOnly(); }
  bool Filtered() const override { return filtered_; }
  void SetFiltered(bool value) { filtered_ = value; }
  std::string Filter() const override { return filter_; }
  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  TParams& Params() override { return params_; }
  std::vector<TCheckConstraint>& Constraints() { return constraints_; }
  const std::vector<TIndexDef>& IndexDefs() const { return indexDefs_; }
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(std::string name);
  const std::string& IndexFieldNames() const { return indexFieldNames_; }
  void SetIndexFieldNames(std::string names);

  const TUpdateRecordEvent& OnUpdateRecord() const { return onUpdateRecord_; }
  void SetOnUpdateRecord(TUpdateRecordEvent handler) { onUpdateRecord_ = std::move(handler); }
  const TDataSetErrorEvent& OnApplyUpdateError() const { return onApplyUpdateError_; }
  void SetOnApplyUpdateError(TDataSetErrorEvent handler) {
    onApplyUpdateError_ = std::move(handler);
  }
  const TZProgressEvent& OnProgress() const { return onProgress_; }
  void SetOnProgress(TZProgressEvent handler) { onProgress_ = std::move(handler); }

  // The analyser, the record buffers and the dataset's direct query.
  TSqlParser& SqlParser() { return parser_; }
  TSqlBuffer& MainBuffer() { return main_; }
  TSqlBuffer& ChangeBuffer() { return changes_; }
  TDirQuery& Query() const { return *query_; }
  // The affected-row count of the last ExecuteStatement.
  int RowsAffected() const { return rowsAffected_; }

  RecordAccess* ActiveRecord() override;
  // The record behind ActiveRecord(), nullptr when there is none.
  std::byte* ActiveRecordBuffer();
  // A TZMemoStream over the field's slot (every MySQL blob), a TZBlobStream for a slot that
  // holds a server blob handle; an empty memory stream without active record; nullptr for a
  // field the dataset does not describe or a server blob the query cannot give.
  std::unique_ptr<TStream> CreateBlobStream(TField& field, TBlobStreamMode mode) override;
  // Keeps a blob value read from the server in the active record, and while editing also in
  // the current row and its pending-change copy, so that it is fetched once.
  void CacheBlobValue(int desc, std::string_view bytes);

  // --- posting changes ---------------------------------------------------------------------
  // Sends every pending change (nothing for a read-only dataset or an empty change buffer).
  virtual void ApplyPendingChanges();
  // Empties the change buffer; the applied main-buffer records become unmodified, deleted ones
  // go. Visits only the records with a change, so its cost does not grow with the rows.
  void CommitPendingChanges();
  // Without cached updates, applies and commits a change at once; when that fails, undo puts
  // the buffers back as they were before the change and the error goes on.
  void ApplyAtOnce(const std::function<void()>& undo);
  // The WHERE text (" WHERE ...", or empty) that identifies the record in the table.
  std::string BuildWhereClause(const std::string& tableName, const std::byte* record);
  // Description indexes of the key columns of the table, and whether they come from a primary
  // or unique key (false: every non-blob column of the table).
  std::vector<int> SelectKeyFields(const std::string& tableName, bool& keyed);
  // The value of an expression: the literal itself for one number or quoted string, else
  // "SELECT " + expression through the transaction; empty on any failure.
  std::string EvaluateExpression(const std::string& expression);
  // Re-reads the record from the server; true when a value changed.
  bool RefreshRecord(std::byte* record);
  // The literal of a value text (from GetValueText) for a field of that description.
  virtual std::string ValueToLiteral(const std::string& valueText, const TFieldDesc& desc);
  // The literal of a field of a record: NULL for a null field.
  std::string FieldLiteral(const std::byte* record, int desc);
  // The descriptions an INSERT writes, in order (every writable column of the updated table),
  // and "INSERT INTO " table " (" their names ") VALUES " as the INSERT begins. The head
  // raises when no column can be written.
  std::vector<int> InsertColumns() const;
  std::string InsertHead();
  // The column names as the statements write them, ", "-separated.
  std::string ColumnList(const std::vector<int>& descs) const;
  // Table names are written as they are.
  virtual std::string QuoteIdentifier(const std::string& name) { return name; }
  // How statements write a column name; the identifier rule here.
  virtual std::string QuoteFieldName(const std::string& name) { return QuoteIdentifier(name); }
  // The first table of the statement, which posts change; empty when there is none.
  std::string UpdatedTable() const;
  // Runs the dataset's statement through the transaction's ExecSql instead of opening it.
  virtual void ExecuteStatement();
  // The values of the named fields (";"-separated) of the current record.
  virtual std::vector<FieldValue> GetFieldValues(const std::string& fieldNames);
  // Orders the main buffer on the client by a field list ("," or ";"), direction 1 or 2.
  void SortBy(const std::string& fieldList, std::uint8_t direction);

  // TSqlParserOwner
  ServerKind DatabaseType() const override { return serverKind_; }
  void LoadColumnDescriptions(const std::string& tableName, TSqlFields& fields) override = 0;
  void LoadIndexDescriptions(const std::string& tableName, TSqlFields& fields,
                             TSqlIndices& indices) override = 0;
  bool HasRowId(const std::string& tableName) override;
  std::string ParamValueToLiteral(const FieldValue& value) override;
  void CloseDataset() override { Close(); }
  void DropFieldDefs() override {}
  void InvalidateIndexDefs() override { indexDefs_.clear(); }

  // TSqlBufferOwner
  void AfterCopyRecord(TSqlBuffer& buffer, const std::byte* source, std::byte* dest) override;
  void BeforeClearRecord(TSqlBuffer& buffer, std::byte* record) override;
  void DoProgress(int stage, int proc, int position, int max, bool& cancel) override;
  bool AcceptRecord(const TSqlBuffer& buffer, const std::byte* record) override;

  // TZDatabaseDataset
  void CloseFromDatabase() override { Close(); }
  void OpenDeferred() override;

 protected:
  TZDataset(std::unique_ptr<TDirQuery> query, ServerKind serverKind);

  // The virtual operations, in their order.
  // A record that has just become ztInserted; does nothing here.
  virtual void InitInsertedRecord(std::byte* record);
  // Checks Database and Transaction and connects the transaction.
  virtual void PrepareConnection();
  // Builds and sends the statement of one pending change (old values in change, new values
  // in record).
  virtual void ExecuteChange(const std::byte* change, std::byte* record);
  // Reads rows until one record that passes the record filter was added; false at the end.
  virtual bool FetchRow() = 0;
  // After an applied insert or modification: re-reads the record with doRefreshAfterPost.
  virtual void AfterChangeApplied(const std::byte* change, std::byte* record);
  // Resets every blob slot of the record to an empty value of its blob kind.
  virtual void ClearBlobSlots(std::byte* record);
  // Field definition rules: string sizes 1..512 (50 for none), bytes 50, other types 0;
  // auto-increment integers with doEnableAutoInc.
  virtual void AdjustFieldDef(const TFieldDesc* desc, TFieldType& fieldType, int& size);
  virtual void ClearRowId(std::byte* rowId);
  virtual std::string RowIdToText(const std::byte* rowId);
  // A server blob object for a slot of another blob kind; none here (MySQL keeps every blob
  // in the record).
  virtual std::unique_ptr<TDirBlob> CreateBlobObject() { return nullptr; }

  // TDataSet
  void InternalOpen() override;
  void InternalFieldsReady() override;
  void InternalClose() override;
  std::int64_t InternalRecordCount() override;
  bool InternalGotoRecord(std::int64_t index) override;
  std::int64_t InternalLastIndex() override;
  TBookmark InternalGetBookmark(std::int64_t index) override;
  std::int64_t InternalBookmarkIndex(TBookmark bookmark) override;
  void InternalInitRecord() override;
  void InternalEdit() override;
  std::int64_t InternalPost() override;
  void InternalCancel() override;
  void InternalDelete() override;
  std::unique_ptr<TField> CreateField(TFieldType dataType) override;
  void OpenAfterLoading() override;
  void Notification(TComponent& component, TOperation operation) override;

  // Raises "Record or field constraint failed  : %s" for the first constraint that is not
  // true for the active record.
  void CheckConstraints();
  // Fetches rows (around the run: OnProgress stages 0 and 2) until count records more are
  // visible, or all of them (count < 0), or the result ends.
  void FetchRows(std::int64_t count);
  void FetchAll() { FetchRows(-1); }
  // Whether the open result can give more rows.
  bool ResultHasRows();
  bool HasFetchedRows() const { return rowsFetched_ > 0; }
  void CountFetchedRow() { ++rowsFetched_; }
  // The ordering text from IndexFieldNames or IndexName.
  std::string OrderingText() const;
  // The column names of the descriptions as statements write them.
  const std::string& ColumnName(int desc) const {
    return columnNames_[static_cast<std::size_t>(desc)];
  }

 private:
  class ApplyingScope;

  std::int64_t PostInsert();
  std::int64_t PostEdit();
  // Sends one change with the update events; an error the OnApplyUpdateError handler puts off
  // goes to deferred.
  void ApplyOne(std::byte* change, std::byte* record, std::optional<EDatabaseError>& deferred);
  void BuildFieldDefs();
  void RefillPosition(std::int64_t index);
  void FillConnectionComponents();
  std::byte* WorkRecord() { return work_.get(); }
  void DropWorkRecord() noexcept;
  // Removes the record with that identifier from a buffer (taking its slot back when it was
  // the last), wherever it is.
  static void RemoveById(TSqlBuffer& buffer, std::int32_t id);
  // Binds every variable to own, or to the field of its name, and raises unless true.
  void EvaluateConstraint(const std::string& text, const TField* own);
  void SetDefault(std::byte* record, int desc, const std::string& text);

  ServerKind serverKind_;
  std::unique_ptr<TDirQuery> query_;
  TZDatabase* database_ = nullptr;
  TZTransact* transaction_ = nullptr;
  TZUpdateSql* updateObject_ = nullptr;
  TZDatasetOptions options_ = kDefaultDatasetOptions;
  bool cachedUpdates_ = false;
  bool discardAppliedInserts_ = false;
  TZInsertWriter* insertWriter_ = nullptr;
  bool filtered_ = false;
  std::string filter_;
  TParams params_;
  std::vector<TCheckConstraint> constraints_;
  std::vector<TIndexDef> indexDefs_;
  std::string indexName_;
  std::string indexFieldNames_;
  TUpdateRecordEvent onUpdateRecord_;
  TDataSetErrorEvent onApplyUpdateError_;
  TZProgressEvent onProgress_;

  TSqlParser parser_{*this};
  TSqlBuffer main_{*this};
  TSqlBuffer changes_{*this, main_};
  TZParser constraintParser_;
  TZRecordAccess access_{main_};
  std::unique_ptr<std::byte[]> work_;  // the record of an edit or insert
  std::vector<std::string> columnNames_;
  std::byte* applyingRecord_ = nullptr;
  bool posting_ = false;  // inside a post or delete: the framework repositions afterwards
  bool openDeferred_ = false;
  std::int64_t rowsFetched_ = 0;
  int rowsAffected_ = 0;
  std::string sortFields_;
  std::uint8_t sortDirection_ = TSqlBuffer::kSortAscending;
};

}  // namespace tabulix
