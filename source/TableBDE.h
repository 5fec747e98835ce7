#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/TDataSet.h"
#include "source/TableBDERecord.h"
#include "source/TableReader.h"

namespace tabulix::source {

// The source table component: one Paradox or dBase table file as a read-only dataset. The
// file is named by its full path; its format follows from the extension. Records are read on
// demand by number, and only the current record's values are held, so memory does not grow
// with the table. A field's size is its declared length in characters for character fields,
// its byte count for bytes fields and its decimals for BCD fields.
class TTableBDE : public TDataSet {
 public:
  using ReaderFactory =
      std::function<std::unique_ptr<TableReader>(const std::string&, const ReaderOptions&)>;

  TTableBDE();
  ~TTableBDE() override;

  const std::string& TableName() const { return tableName_; }
  // A different name closes an open table.
  void SetTableName(std::string path);
  // Options for the next open: a code page that overrides the file's own, fields read as
  // raw bytes, and whether a missing memo file leaves memos null instead of failing.
  const ReaderOptions& Options() const { return options_; }
  void SetReaderOptions(ReaderOptions options) { options_ = std::move(options); }
  // How table files are opened; OpenTableReader unless replaced.
  void SetReaderFactory(ReaderFactory factory) { factory_ = std::move(factory); }
  // The code page the open table's text is decoded from (iconv name); empty while closed.
  std::string Encoding() const;
  // Where that code page came from.
  EncodingOrigin EncodingSource() const;

  // The values not delivered as stored among the records read so far in table order (a
  // dump, an import or CountWarnings reads them all); empty while closed.
  const ValueWarnings& Warnings() const;
  // Reads every record that Warnings() does not cover yet, so that it covers the whole
  // table; the cursor and the current record stay as they are. Raises what reading a record
  // raises.
  void CountWarnings();

  // The table is read-only whatever ReadOnly says.
  bool CanModify() const override { return false; }
  RecordAccess* ActiveRecord() override;

 protected:
  void InternalOpen() override;
  void InternalClose() override;
  std::int64_t InternalRecordCount() override;
  bool InternalGotoRecord(std::int64_t index) override;

 private:
  std::string tableName_;
  ReaderOptions options_;
  ReaderFactory factory_;
  std::unique_ptr<TableReader> reader_;
  TableBDERecord record_;
  std::vector<FieldValue> scratch_;  // the next record is read here, then swapped in
  std::int64_t loaded_ = -1;         // record whose values record_ holds
  ValueWarnings noWarnings_;         // what Warnings() gives while closed
};

}  // namespace tabulix::source
