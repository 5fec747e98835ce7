#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "source/ReadOnlyFile.h"
#include "source/TableReader.h"
#include "source/dbase/DbaseHeader.h"
#include "source/dbase/LiveRecordIndex.h"
#include "source/dbase/MemoStore.h"
#include "source/dbase/RecordDecoder.h"
#include "source/dbase/RecordWindow.h"
#include "source/dbase/TableEncoding.h"
#include "source/dbase/TextDecoder.h"

namespace tabulix::source::dbase {

// A dBase, FoxPro or Visual FoxPro table read by record number. Records marked deleted are
// left out; records are fetched from the file as they are asked for.
class DbaseTable final : public TableReader {
 public:
  DbaseTable(const std::string& path, const ReaderOptions& options);
  DbaseTable(const DbaseTable&) = delete;
  DbaseTable& operator=(const DbaseTable&) = delete;

  const std::vector<SourceFieldDef>& Fields() const override { return fields_; }
  std::int64_t RecordCount() const override { return index_.LiveCount(); }
  void ReadRecord(std::int64_t n, std::vector<FieldValue>& values) override;
  std::string Encoding() const override { return text_.Encoding(); }
  EncodingOrigin EncodingSource() const override { return encoding_.source; }

 private:
  ReadOnlyFile file_;
  DbaseHeader header_;
  MemoStore memos_;
  EncodingChoice encoding_;
  LiveRecordIndex index_;
  TextDecoder text_;
  RecordDecoder decoder_;
  std::vector<SourceFieldDef> fields_;
  RecordWindow records_;
};

}  // namespace tabulix::source::dbase
