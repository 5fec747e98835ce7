#include "framework/TDataSet.h"

#include <algorithm>
#include <exception>

#include "framework/AsciiCase.h"
#include "framework/DataSetMessages.h"
#include "framework/Exceptions.h"
#include "framework/FieldFactory.h"
#include "framework/FormatMessage.h"
#include "framework/NumberText.h"
#include "framework/StringList.h"
#include "framework/TBlobStream.h"
#include "framework/TDataLink.h"
#include "framework/TMemoryStream.h"

namespace tabulix {

TDataSet::~TDataSet() {
  for (TDataLink* link : links_) link->dataSet_ = nullptr;
}

// --- links -----------------------------------------------------------------------------------

void TDataSet::RemoveLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

template <typename F>
void TDataSet::NotifyLinks(F&& call) {
  if (disableCount_ > 0 || links_.empty()) return;
  // A link may detach itself while being told.
  std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) call(*link);
  }
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0) return;
  if (--disableCount_ == 0) NotifyLinks([](TDataLink& l) { l.DataSetChanged(); });
}

void TDataSet::FieldChanged(TField& field) {
  modified_ = true;
  NotifyLinks([&](TDataLink& l) { l.RecordChanged(&field); });
}

// --- fields ----------------------------------------------------------------------------------

TField& TDataSet::Fields(int index) const {
  if (index < 0 || index >= FieldCount()) {
    throw EListError(FormatMessage(messages::kListIndexError, {IntToStr(index)}));
  }
  return *fields_[static_cast<std::size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const {
  for (const auto& field : fields_) {
    if (EqualsIgnoreCase(field->FieldName(), name)) return field.get();
  }
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view name) const {
  if (TField* field = FindField(name)) return *field;
  throw EDatabaseError(FormatMessage(messages::kFieldNotFound, {name}));
}

void TDataSet::GetFieldNames(StringList& names) const {
  names.BeginUpdate();
  names.Clear();
  for (const auto& field : fields_) names.Add(field->FieldName());
  names.EndUpdate();
}

TField& TDataSet::AddField(std::unique_ptr<TField> field) {
  if (Active()) throw EDatabaseError(messages::kDataSetOpen);
  field->Attach(this, FieldCount());
  fields_.push_back(std::move(field));
  return *fields_.back();
}

std::unique_ptr<TField> TDataSet::CreateField(TFieldType dataType) {
  return CreateFieldForType(dataType);
}

void TDataSet::CreateFields() {
  for (const TFieldDef& def : fieldDefs_) {
    std::unique_ptr<TField> field = CreateField(def.DataType);
    field->SetFieldName(def.Name);
    field->SetSize(def.Size);
    field->SetRequired(def.Required);
    field->SetReadOnly(def.ReadOnly);
    field->Attach(this, FieldCount());
    field->Bind(def.FieldNo);
    fields_.push_back(std::move(field));
  }
}

void TDataSet::BindFields() {
  for (const auto& field : fields_) {
    int index = fieldDefs_.IndexOf(field->FieldName());
    if (index < 0) {
      throw EDatabaseError(FormatMessage(messages::kFieldNotFound, {field->FieldName()}));
    }
    field->Bind(fieldDefs_[index].FieldNo);
  }
}

void TDataSet::DestroyFields() {
  if (defaultFields_) {
    fields_.clear();
    defaultFields_ = false;
  } else {
    for (const auto& field : fields_) field->Bind(0);
  }
}

void TDataSet::CheckRequiredFields() const {
  for (const auto& field : fields_) {
    if (field->Required() && !field->ReadOnly() && field->IsNull()) {
      throw EDatabaseError(FormatMessage(messages::kFieldRequired, {field->DisplayName()}));
    }
  }
}

// --- open and close --------------------------------------------------------------------------

void TDataSet::CheckActive() const {
  if (!Active()) throw EDatabaseError(messages::kDataSetClosed);
}

void TDataSet::SetActive(bool active) {
  if (Loading()) {
    streamedActive_ = active;
    return;
  }
  active ? Open() : Close();
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) {
    streamedActive_ = false;
    OpenAfterLoading();
  }
}

void TDataSet::Open() {
  if (Active()) return;
  Fire(events_.BeforeOpen);
  try {
    fieldDefs_.Clear();
    InternalOpen();
    if (fields_.empty()) {
      defaultFields_ = true;
      CreateFields();
    } else {
      BindFields();
    }
    InternalFieldsReady();
  } catch (...) {
    try {
      InternalClose();
    } catch (...) {
      // The open's own failure is the one to report.
    }
    DestroyFields();
    throw;
  }
  state_ = dsBrowse;
  modified_ = false;
  appending_ = false;
  cursor_ = -1;
  Reposition(0);
  bof_ = true;
  NotifyLinks([](TDataLink& l) { l.ActiveChanged(); });
  Fire(events_.AfterOpen);
}

void TDataSet::Close() {
  if (!Active()) return;
  Fire(events_.BeforeClose);
  // Once past BeforeClose the dataset ends closed whatever fails: a refused cancel must not
  // skip the release of the storage, and the links hear that it went inactive. The first
  // failure propagates afterwards, and AfterClose is then not raised.
  std::exception_ptr error;
  if (state_ == dsEdit || state_ == dsInsert) {
    try {
      InternalCancel();
    } catch (...) {
      error = std::current_exception();
    }
  }
  try {
    InternalClose();
  } catch (...) {
    if (!error) error = std::current_exception();
  }
  DestroyFields();
  state_ = dsInactive;
  modified_ = false;
  appending_ = false;
  cursor_ = -1;
  bof_ = eof_ = true;
  NotifyLinks([](TDataLink& l) { l.ActiveChanged(); });
  if (error) std::rethrow_exception(error);
  Fire(events_.AfterClose);
}

// --- navigation ------------------------------------------------------------------------------

void TDataSet::Reposition(std::int64_t index) {
  std::int64_t count = InternalRecordCount();
  if (index >= count) index = count - 1;
  if (index < 0) index = count > 0 ? 0 : -1;
  if (index >= 0 && InternalGotoRecord(index)) {
    cursor_ = index;
    bof_ = eof_ = false;
  } else {
    cursor_ = -1;
    bof_ = eof_ = true;
  }
}

void TDataSet::Resync() {
  if (!Active()) return;
  Reposition(cursor_);
  NotifyLinks([](TDataLink& l) { l.DataSetChanged(); });
}

void TDataSet::Scrolled(std::int64_t oldCursor) {
  if (cursor_ != oldCursor) {
    NotifyLinks([&](TDataLink& l) { l.DataSetScrolled(cursor_ - oldCursor); });
  }
}

std::int64_t TDataSet::RecordCount() {
  CheckActive();
  return InternalRecordCount();
}

void TDataSet::First() {
  CheckBrowseMode();
  std::int64_t old = cursor_;
  if (InternalGotoRecord(0)) {
    cursor_ = 0;
    eof_ = false;
  } else {
    cursor_ = -1;
    eof_ = true;
  }
  bof_ = true;
  Scrolled(old);
}

void TDataSet::Next() {
  CheckBrowseMode();
  if (eof_) return;
  std::int64_t old = cursor_;
  if (cursor_ >= 0 && InternalGotoRecord(cursor_ + 1)) {
    ++cursor_;
    bof_ = false;
  } else {
    eof_ = true;
  }
  Scrolled(old);
}

void TDataSet::Prior() {
  CheckBrowseMode();
  std::int64_t old = cursor_;
  if (cursor_ > 0 && InternalGotoRecord(cursor_ - 1)) {
    --cursor_;
    bof_ = eof_ = false;
  } else {
    bof_ = true;
  }
  Scrolled(old);
}

void TDataSet::Last() {
  CheckBrowseMode();
  std::int64_t old = cursor_;
  std::int64_t last = InternalLastIndex();
  if (last >= 0 && InternalGotoRecord(last)) {
    cursor_ = last;
    bof_ = false;
  } else {
    cursor_ = -1;
    bof_ = true;
  }
  eof_ = true;
  Scrolled(old);
}

std::int64_t TDataSet::MoveBy(std::int64_t distance) {
  CheckBrowseMode();
  std::int64_t old = cursor_;
  if (distance > 0) {
    while (distance-- > 0 && !eof_) Next();
  } else {
    while (distance++ < 0 && !bof_) Prior();
  }
  return cursor_ - old;
}

bool TDataSet::MoveToRecord(std::int64_t recNo) {
  CheckBrowseMode();
  if (recNo < 1) return false;
  std::int64_t old = cursor_;
  if (!InternalGotoRecord(recNo - 1)) return false;
  cursor_ = recNo - 1;
  bof_ = eof_ = false;
  Scrolled(old);
  return true;
}

std::optional<TBookmark> TDataSet::GetBookmark() {
  CheckActive();
  if (cursor_ < 0) return std::nullopt;
  return InternalGetBookmark(cursor_);
}

std::int64_t TDataSet::InternalBookmarkIndex(TBookmark bookmark) {
  return bookmark >= 0 && bookmark < InternalRecordCount() ? bookmark : -1;
}

bool TDataSet::GotoBookmark(TBookmark bookmark) {
  CheckBrowseMode();
  std::int64_t index = InternalBookmarkIndex(bookmark);
  return index >= 0 && MoveToRecord(index + 1);
}

// --- editing ---------------------------------------------------------------------------------

void TDataSet::InternalInitRecord() {
  throw EDatabaseError(messages::kDataSetReadOnly);
}
void TDataSet::InternalEdit() {
  throw EDatabaseError(messages::kDataSetReadOnly);
}
std::int64_t TDataSet::InternalPost() {
  throw EDatabaseError(messages::kDataSetReadOnly);
}
void TDataSet::InternalCancel() {}
void TDataSet::InternalDelete() {
  throw EDatabaseError(messages::kDataSetReadOnly);
}

void TDataSet::SetState(TDataSetState state) {
  if (state == state_) return;
  state_ = state;
  NotifyLinks([](TDataLink& l) { l.EditingChanged(); });
}

void TDataSet::CheckBrowseMode() {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) return;
  NotifyLinks([](TDataLink& l) { l.UpdateData(); });
  if (modified_) {
    Post();
  } else {
    Cancel();
  }
}

void TDataSet::BeginInsert(bool append) {
  CheckBrowseMode();
  if (!CanModify()) throw EDatabaseError(messages::kDataSetReadOnly);
  Fire(events_.BeforeInsert);
  appending_ = append;
  try {
    InternalInitRecord();
  } catch (...) {
    appending_ = false;
    throw;
  }
  modified_ = false;
  SetState(dsInsert);
  try {
    Fire(events_.OnNewRecord);
  } catch (...) {
    Cancel();
    throw;
  }
  NotifyLinks([](TDataLink& l) { l.RecordChanged(nullptr); });
  Fire(events_.AfterInsert);
}

void TDataSet::Append() {
  BeginInsert(true);
}
void TDataSet::Insert() {
  BeginInsert(false);
}

void TDataSet::Edit() {
  CheckActive();
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (cursor_ < 0) {
    Append();
    return;
  }
  if (!CanModify()) throw EDatabaseError(messages::kDataSetReadOnly);
  Fire(events_.BeforeEdit);
  InternalEdit();
  modified_ = false;
  SetState(dsEdit);
  Fire(events_.AfterEdit);
}

void TDataSet::Post() {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) return;
  NotifyLinks([](TDataLink& l) { l.UpdateData(); });
  Fire(events_.BeforePost);
  CheckRequiredFields();
  std::int64_t index = InternalPost();
  modified_ = false;
  appending_ = false;
  state_ = dsBrowse;
  Reposition(index >= 0 ? index : cursor_);
  NotifyLinks([](TDataLink& l) {
    l.EditingChanged();
    l.DataSetChanged();
  });
  Fire(events_.AfterPost);
}

void TDataSet::Cancel() {
  CheckActive();
  if (state_ != dsEdit && state_ != dsInsert) return;
  Fire(events_.BeforeCancel);
  InternalCancel();
  modified_ = false;
  appending_ = false;
  state_ = dsBrowse;
  Reposition(cursor_);
  NotifyLinks([](TDataLink& l) {
    l.EditingChanged();
    l.DataSetChanged();
  });
  Fire(events_.AfterCancel);
}

void TDataSet::Delete() {
  CheckActive();
  if (state_ == dsInsert) {
    Cancel();
    return;
  }
  if (state_ == dsEdit) Cancel();
  if (cursor_ < 0) throw EDatabaseError(messages::kDataSetEmpty);
  Fire(events_.BeforeDelete);
  InternalDelete();
  Reposition(cursor_);
  NotifyLinks([](TDataLink& l) { l.DataSetChanged(); });
  Fire(events_.AfterDelete);
}

// --- blobs -----------------------------------------------------------------------------------

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField& field, TBlobStreamMode mode) {
  if (!ActiveRecord()) return std::make_unique<TMemoryStream>();
  return std::make_unique<TBlobStream>(field, mode);
}

}  // namespace tabulix
