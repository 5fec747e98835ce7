#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "framework/FieldType.h"
#include "framework/RecordAccess.h"
#include "framework/TBlobStreamMode.h"
#include "framework/TComponent.h"
#include "framework/TDataSetState.h"
#include "framework/TField.h"
#include "framework/TFieldDefs.h"
#include "framework/TStream.h"

namespace tabulix {

class StringList;
class TDataLink;
class TDataSet;

using TDataSetNotifyEvent = std::function<void(TDataSet&)>;

// The Before/After events of a dataset; each runs with the dataset as sender when assigned.
// An exception from a Before event stops the operation.
struct TDataSetEvents {
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, OnNewRecord;
};

// A bookmark names one record across moves; what it holds is the subclass's choice.
using TBookmark = std::int64_t;

// A record set with states, a cursor over its records, field objects and the editing sequence.
// The subclass owns the records: it opens and closes its storage, moves to record n of its
// visible order, hands out the active record through RecordAccess, and implements the editing
// hooks. Record indexes are 0-based in the visible order; RecNo is 1-based. A dataset is a
// component, so an owner such as a window can hold it.
class TDataSet : public TComponent {
 public:
  TDataSet() = default;
  // Subclasses close the dataset in their own destructor; here it only leaves its links
  // and fields.
  ~TDataSet() override;

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != dsInactive; }
  // While the component is loading, only remembers the wish; Loaded() opens then.
  void SetActive(bool active);
  // Opens the storage and creates the fields; on failure the dataset stays closed.
  void Open();
  // Drops a pending edit or insert and closes; closing a closed dataset does nothing. When
  // dropping the edit or releasing the storage raises, the rest still runs and the dataset
  // ends closed; the first error then propagates.
  void Close();

  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // Whether records may be appended, edited and deleted.
  virtual bool CanModify() const { return !readOnly_; }
  // True once a field was written since the last Append, Insert or Edit.
  bool Modified() const { return modified_; }

  // Fields, in field order.
  int FieldCount() const { return static_cast<int>(fields_.size()); }
  TField& Fields(int index) const;  // EListError when out of range
  // By name, ignoring ASCII letter case; FindField gives nullptr, FieldByName raises
  // "Feld '%s' nicht gefunden".
  TField* FindField(std::string_view name) const;
  TField& FieldByName(std::string_view name) const;
  // Replaces the list by the field names, in field order.
  void GetFieldNames(StringList& names) const;
  const TFieldDefs& FieldDefs() const { return fieldDefs_; }
  // Adds a persistent field while closed. With persistent fields the dataset does not create
  // fields of its own at open; it binds these to the columns of the same name.
  TField& AddField(std::unique_ptr<TField> field);

  // Navigation. Bof is true after First and after Prior at the first record; Eof after Next
  // at the last record, after Last, and for an empty dataset.
  void First();
  void Next();
  void Prior();
  void Last();
  // Moves by distance records, stopping at either end; gives the distance moved.
  std::int64_t MoveBy(std::int64_t distance);
  // Makes record recNo (1-based) current; false, and nothing moves, when there is none.
  bool MoveToRecord(std::int64_t recNo);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  // 1-based number of the current record; 0 when there is none.
  std::int64_t RecNo() const { return cursor_ + 1; }
  std::int64_t RecordCount();
  bool IsEmpty() { return RecordCount() == 0; }

  std::optional<TBookmark> GetBookmark();
  // False, and nothing moves, when the bookmark names no visible record.
  bool GotoBookmark(TBookmark bookmark);

  // Editing. Append and Insert start a new record (at the end, or before the current one),
  // Edit the current one; Post stores it, Cancel drops it. Post raises, and the dataset stays
  // in edit or insert state, when a required field is null ("Feld '%s' muß einen Wert haben")
  // or the subclass refuses the record.
  void Append();
  void Insert();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Posts a modified edit, cancels an unmodified one; raises when closed.
  void CheckBrowseMode();

  // The active record: the current record while browsing, the record being edited or
  // inserted otherwise; nullptr when there is none.
  virtual RecordAccess* ActiveRecord() = 0;
  // A stream over a blob field of the active record. The default stream reads and writes
  // through ActiveRecord(); without an active record it is an empty memory stream.
  virtual std::unique_ptr<TStream> CreateBlobStream(TField& field, TBlobStreamMode mode);

  // Links are not told of changes between these two; EnableControls tells them the data
  // changed when the last disable ends.
  void DisableControls() { ++disableCount_; }
  void EnableControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }

  TDataSetEvents& Events() { return events_; }

  // Called by a field after its value in the active record changed.
  void FieldChanged(TField& field);

 protected:
  // Opens the storage and fills the field definitions (they are empty on entry). A failure
  // here or later in Open is followed by InternalClose, which must cope with a half-open state.
  virtual void InternalOpen() = 0;
  // The fields exist and are bound to their columns (FieldNo); build what depends on them.
  virtual void InternalFieldsReady() {}
  // Releases the storage; the fields the dataset created are destroyed afterwards.
  virtual void InternalClose() = 0;
  // Records in the visible order; may fetch.
  virtual std::int64_t InternalRecordCount() = 0;
  // Makes record index current, fetching it when needed. Gives false, leaving the current
  // record as it was, when there is no such record.
  virtual bool InternalGotoRecord(std::int64_t index) = 0;
  // Index of the last record, fetching everything; -1 for an empty dataset.
  virtual std::int64_t InternalLastIndex() { return InternalRecordCount() - 1; }
  // Bookmarks: by default the record index.
  virtual TBookmark InternalGetBookmark(std::int64_t index) { return index; }
  // Index of the bookmarked record, or -1.
  virtual std::int64_t InternalBookmarkIndex(TBookmark bookmark);

  // Editing hooks; the defaults refuse as a read-only dataset.
  // A fresh work record for Append or Insert (IsAppending tells which), with defaults.
  virtual void InternalInitRecord();
  // A work record holding the current record's values.
  virtual void InternalEdit();
  // Stores the work record (State tells insert or edit). Raising keeps the dataset in its
  // state. Gives the index of the stored record in the visible order, or -1 when it is not
  // visible.
  virtual std::int64_t InternalPost();
  // Drops the work record.
  virtual void InternalCancel();
  // Removes the current record.
  virtual void InternalDelete();

  // Opens the dataset when it was activated during loading (through OpenAfterLoading);
  // overrides call this too.
  void Loaded() override;
  // The open that Loaded makes for a dataset activated during loading. A subclass that still
  // lacks what it needs to open (a connection set later by another component) may put the
  // open off here instead of failing.
  virtual void OpenAfterLoading() { Open(); }

  // The field object for a column; override to use other classes for some types.
  virtual std::unique_ptr<TField> CreateField(TFieldType dataType);
  TFieldDefs& MutableFieldDefs() { return fieldDefs_; }

  // Cursor position for hooks: the 0-based current index, -1 when none.
  std::int64_t CurrentIndex() const { return cursor_; }
  bool IsAppending() const { return appending_; }
  // Re-reads the record at the cursor (clamped to the records there are) and tells the links.
  void Resync();
  // Raises "Operation bei geschlossener Datenmenge nicht möglich" when closed.
  void CheckActive() const;

 private:
  friend class TDataLink;
  void AddLink(TDataLink* link) { links_.push_back(link); }
  void RemoveLink(TDataLink* link);
  template <typename F>
  void NotifyLinks(F&& call);
  void Fire(const TDataSetNotifyEvent& event) {
    if (event) event(*this);
  }

  void CreateFields();
  void BindFields();
  void DestroyFields();
  void CheckRequiredFields() const;
  void BeginInsert(bool append);
  void SetState(TDataSetState state);
  // Makes index current (clamped), setting Bof and Eof when no record is left.
  void Reposition(std::int64_t index);
  void Scrolled(std::int64_t oldCursor);

  TDataSetState state_ = dsInactive;
  bool readOnly_ = false;
  bool modified_ = false;
  bool appending_ = false;
  bool defaultFields_ = false;   // the fields were created at open and go at close
  bool streamedActive_ = false;  // activated while loading
  std::int64_t cursor_ = -1;
  bool bof_ = true;
  bool eof_ = true;
  int disableCount_ = 0;
  TFieldDefs fieldDefs_;
  std::vector<std::unique_ptr<TField>> fields_;
  std::vector<TDataLink*> links_;
  TDataSetEvents events_;
};

}  // namespace tabulix
