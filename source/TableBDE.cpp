#include "source/TableBDE.h"

#include "framework/Exceptions.h"
#include "framework/NumberText.h"

namespace tabulix::source {

TTableBDE::TTableBDE() : factory_(&OpenTableReader) {
  SetReadOnly(true);
}

TTableBDE::~TTableBDE() {
  try {
    Close();
  } catch (...) {
    // Closing only releases the reader; nothing to report from a destructor.
  }
}

void TTableBDE::SetTableName(std::string path) {
  if (path == tableName_) return;
  Close();
  tableName_ = std::move(path);
}

std::string TTableBDE::Encoding() const {
  return reader_ ? reader_->Encoding() : std::string();
}

EncodingOrigin TTableBDE::EncodingSource() const {
  return reader_ ? reader_->EncodingSource() : EncodingOrigin::Default;
}

const ValueWarnings& TTableBDE::Warnings() const {
  return reader_ ? reader_->Warnings() : noWarnings_;
}

void TTableBDE::CountWarnings() {
  CheckActive();
  std::vector<FieldValue> values;
  for (std::int64_t n = reader_->Warnings().CountedRecords(); n < reader_->RecordCount(); ++n) {
    reader_->ReadRecord(n, values);
  }
}

RecordAccess* TTableBDE::ActiveRecord() {
  return loaded_ >= 0 ? &record_ : nullptr;
}

void TTableBDE::InternalOpen() {
  reader_ = factory_(tableName_, options_);
  if (!reader_) throw EDatabaseError(tableName_ + ": the table could not be opened");
  for (const SourceFieldDef& f : reader_->Fields()) {
    int size = f.type == ftBCD ? f.decimals : f.size;
    TFieldDef& def = MutableFieldDefs().Add(f.name, f.type, size, f.required);
    def.Precision = f.decimals;
  }
}

void TTableBDE::InternalClose() {
  reader_.reset();
  record_.Values().clear();
  scratch_.clear();
  loaded_ = -1;
}

std::int64_t TTableBDE::InternalRecordCount() {
  return reader_ ? reader_->RecordCount() : 0;
}

bool TTableBDE::InternalGotoRecord(std::int64_t index) {
  if (!reader_ || index < 0 || index >= reader_->RecordCount()) return false;
  if (index == loaded_) return true;
  // A failed read leaves the current record as it was.
  reader_->ReadRecord(index, scratch_);
  if (scratch_.size() != reader_->Fields().size()) {
    throw Exception(tableName_ + ": record " + IntToStr(index + 1) + " has " +
                    IntToStr(static_cast<std::int64_t>(scratch_.size())) + " values for " +
                    IntToStr(static_cast<std::int64_t>(reader_->Fields().size())) + " fields");
  }
  record_.Values().swap(scratch_);
  loaded_ = index;
  return true;
}

}  // namespace tabulix::source
