#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dataset/ZBlobBlocks.h"
#include "dataset/ZBufferField.h"
#include "dataset/ZItemList.h"
#include "dataset/ZSqlBufferOwner.h"
#include "framework/FieldValue.h"
#include "sql/SqlFields.h"
#include "sql/SqlIndices.h"

namespace tabulix {

// A set of record statuses (ShowRecordTypes) has one bit per TZRecordType value.
constexpr std::uint8_t RecordTypeBit(TZRecordType type) {
  return static_cast<std::uint8_t>(1u << type);
}

// The records of a dataset in the layout of dataset/ZRecordLayout.h, with their field
// descriptions, index descriptions, visibility filter and client-side sort. A main buffer owns
// the description lists and the blob block table; a change buffer made from it shares them, so
// records and blob values can be copied between the two and the framework's record buffers.
//
// Fields are addressed by their position in the field-description list.
class TSqlBuffer : public TZItemList {
 public:
  static constexpr int kMaxSortFields = 255;
  static constexpr std::uint8_t kSortAscending = 1;
  static constexpr std::uint8_t kSortDescending = 2;
  static constexpr std::uint8_t kDefaultShowRecordTypes =
      RecordTypeBit(ztModified) | RecordTypeBit(ztInserted) | RecordTypeBit(ztUnmodified);

  // A main buffer: its own description lists and block table; the record filter is its
  // visibility test.
  explicit TSqlBuffer(TSqlBufferOwner& owner);
  // A change buffer sharing the main buffer's description lists and block table.
  TSqlBuffer(TSqlBufferOwner& owner, TSqlBuffer& mainBuffer);
  ~TSqlBuffer() override;

  TSqlBufferOwner& Owner() const { return owner_; }
  TSqlFields& SqlFields() { return shared_->fields; }
  const TSqlFields& SqlFields() const { return shared_->fields; }
  TSqlIndices& SqlIndices() { return shared_->indices; }
  const TSqlIndices& SqlIndices() const { return shared_->indices; }
  TBlobBlocks& Blocks() { return shared_->blocks; }
  const TBlobBlocks& Blocks() const { return shared_->blocks; }

  // Layout.
  int RecordSize() const { return recordSize_; }
  bool HasLayout() const { return recordSize_ > 0; }
  int BlobCount() const { return static_cast<int>(blobOffsets_.size()); }
  // Drops every record and builds the descriptions and slots for the dataset's fields, taking
  // each field's description from the analyser's by alias. "Fatal internal error" for a
  // field without field object.
  void BindFields(const TSqlFields& analyserFields, std::span<const TBufferField> fields);
  // Copies the analyser's index descriptions, keeping only columns that have a field.
  void BindIndices(const TSqlIndices& analyserIndices);
  // Drops every record and takes the record layout of another buffer over the same lists.
  // A change buffer takes the main buffer's layout after every BindFields; until then its
  // field access fails with "Fatal internal error".
  void TakeLayout(const TSqlBuffer& other);

  // Records.
  // The identifier of a record that is no member of the list (a dataset's work record).
  static constexpr std::int32_t kNoRecordId = -1;

  // Every field null, marker, next identifier, status unmodified, bookmark flag 0. For fresh
  // memory: blob blocks the record may still own are not freed (clear it first).
  void InitRecord(std::byte* record);
  // As InitRecord for a record outside the list, such as the record a dataset edits: it takes
  // no identifier (kNoRecordId), so that identifiers keep matching positions in the list.
  void InitWorkRecord(std::byte* record);
  std::byte* AddRecord();
  std::byte* InsertRecord(int index);
  // The destination is cleared first; whole copies the header too. Present blob values are
  // duplicated into new blocks; if that fails, nothing has changed.
  void CopyRecord(const std::byte* source, std::byte* dest, bool whole);
  // Frees the record's blob blocks (the slots then hold empty values); setNull makes every
  // field null.
  void ClearRecord(std::byte* record, bool setNull);
  void RemoveRecord(int index);
  // Removes the record at index; when it is the last record stored, its slot and identifier
  // are taken back too, so that a caller dropping every record it appended keeps memory and
  // identifiers from growing. Only for a record nothing refers to any more. True when the
  // slot was taken back.
  bool DropRecord(int index);
  // Drops every record like ClearBuffer(false), without progress reports and keeping the
  // first page, for a buffer emptied after every use (the change buffer).
  void EmptyRecords();
  // Frees the blob blocks of every stored record and empties the list; full also drops the
  // layout, the work record and the sort and link settings, and, in the main buffer that owns
  // them, empties both description lists.
  void ClearBuffer(bool full);
  std::int32_t NextId() const { return nextId_; }
  // Visible position of the record with that identifier, -1 when none. The position equal to
  // the identifier and the last position are tried first, so appended records are found at
  // once.
  int IndexOfId(std::int32_t id) const;
  // As IndexOfId; a record hidden by the filter is made visible at the end.
  int IndexOfIdWithHidden(std::int32_t id);

  // Field access. An absent (null) record reads as null.
  // Position of the description of a field object; "Fatal internal error" when none.
  int FieldIndexOf(const TField* field) const;
  bool IsNull(const std::byte* record, int field) const;
  void SetNull(std::byte* record, int field, bool isNull);
  // Copies the value's data size bytes out; false for null. For blob slots the 17 bytes.
  bool GetRaw(const std::byte* record, int field, void* buffer) const;
  // Copies data size bytes in and clears the null byte; nullptr makes the field null. Blob
  // slots take only the blob kind and server identifier: their block stays theirs.
  void SetRaw(std::byte* record, int field, const void* buffer);
  // Text into a string slot: cut after the field's characters at a UTF-8 boundary, and
  // zero-terminated.
  void SetStringText(std::byte* record, int field, std::string_view text);
  FieldValue GetFieldValue(const std::byte* record, int field) const;
  // An empty or null value makes the field null. A value the slot cannot hold (a number out
  // of the slot's range, 1.5 or "12x" for a 64-bit integer, NaN, a date outside the years 1 to
  // 9999) leaves it null and raises EConvertError "Ungültiger Wert für Feld '%s'" with the
  // field's display name; texts longer than the field are cut after its characters.
  void SetFieldValue(std::byte* record, int field, const FieldValue& value);
  // The value's literal text (without quotes) in the owner's dialect; "NULL" for null or an
  // absent record. ftBCD values are written exactly, with a point.
  std::string GetValueText(const std::byte* record, int field) const;
  // The column text converted by the field type, then stored as SetFieldValue does. ftBCD
  // texts are read exactly ("Ungültiger Wert für Feld '%s'" when they are no such number).
  void SetValueText(std::byte* record, int field, std::string_view text);
  // The bytes of a blob value; empty for null.
  std::string_view BlobValue(const std::byte* record, int field) const;
  // The text of a string slot or the bytes of a blob slot, without a copy; empty for null.
  // "Fatal internal error" for a field of another type.
  std::string_view TextView(const std::byte* record, int field) const;
  void SetBlobValue(std::byte* record, int field, std::string_view bytes);
  // Makes the blob value present and length bytes long, keeping its leading bytes (new bytes
  // are zero), and returns its bytes for writing in place (nullptr for an empty value). Valid
  // until the value changes again. The block grows with room ahead, so a value written piece
  // by piece costs linear time.
  char* BlobData(std::byte* record, int field, std::uint32_t length);
  // Writes the description's blob kind and a zero server identifier into a blob slot; a
  // present value keeps its bytes, a null one is emptied.
  void ResetBlobKind(std::byte* record, int field);

  // Record filter.
  std::uint8_t ShowRecordTypes() const { return showRecordTypes_; }
  // Refilters a main buffer.
  void SetShowRecordTypes(std::uint8_t recordTypes);
  // Fields whose values linked records must share with the work record.
  void SetLinkFields(std::vector<int> fields);
  const std::vector<int>& LinkFields() const { return linkFields_; }
  std::byte* WorkRecord() { return workRecord_.get(); }
  bool FilterRecord(const std::byte* record) const;

  // Client-side sort. The field list holds field positions or aliases separated by "," or
  // ";"; "Unknown field %s" for one that names no field. An empty list restores storage
  // order.
  void SetSort(std::string_view fieldList, std::uint8_t direction);
  const std::vector<int>& SortFields() const { return sortFields_; }
  std::uint8_t SortDirection() const { return sortDirection_; }
  bool Reversed() const { return reversed_; }
  void Reverse();
  // Restores the sort order after records were added.
  void SortAgain();
  int CompareRecords(const std::byte* a, const std::byte* b) const;
  // Null before any value; date-times within one second are equal; blobs always equal.
  int CompareField(const std::byte* a, const std::byte* b, int field) const;

 protected:
  void Resort() override;

 private:
  struct Shared {
    TSqlFields fields;
    TSqlIndices indices;
    TBlobBlocks blocks;
    int layoutVersion = 0;  // changes whenever the descriptions are rebuilt or dropped
  };

  const TFieldDesc& SlotDesc(int field) const;
  void InitRecordData(std::byte* record, std::int32_t id) const;
  void FreeBlobs(std::byte* record) noexcept;
  void DropLayout();
  void ResetBlobSlot(std::byte* slot, const TFieldDesc& desc);
  void StoreBlock(std::byte* slot, const TFieldDesc& desc, TBlobBlocks::Handle block,
                  std::uint32_t length);
  void WriteValue(std::byte* slot, const TFieldDesc& desc, const FieldValue& value);
  void DropWorkRecord() noexcept;

  TSqlBufferOwner& owner_;
  std::shared_ptr<Shared> shared_;
  bool isMain_;
  int recordSize_ = 0;
  int layoutVersion_ = -1;
  // Data-area offsets of the blob slots, so that blocks are freed by this buffer's own
  // layout even when the shared descriptions have changed since.
  std::vector<int> blobOffsets_;
  std::int32_t nextId_ = 0;
  std::uint8_t showRecordTypes_ = kDefaultShowRecordTypes;
  std::vector<int> linkFields_;
  std::unique_ptr<std::byte[]> workRecord_;
  std::vector<int> sortFields_;
  std::uint8_t sortDirection_ = kSortAscending;
  bool reversed_ = false;
};

}  // namespace tabulix
