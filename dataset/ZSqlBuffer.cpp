#include "dataset/ZSqlBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dataset/ZDecimalText.h"
#include "dataset/ZRecordLayout.h"
#include "framework/AsciiCase.h"
#include "framework/DataSetMessages.h"
#include "framework/Exceptions.h"
#include "framework/FormatMessage.h"
#include "framework/Utf8Text.h"
#include "sql/SqlText.h"

namespace tabulix {

using namespace record;

namespace {

[[noreturn]] void FatalError() {
  throw EDatabaseError("Fatal internal error");
}

std::byte* SlotOf(std::byte* record, const TFieldDesc& desc) {
  return record + kHeaderSize + desc.Offset;
}
const std::byte* SlotOf(const std::byte* record, const TFieldDesc& desc) {
  return record + kHeaderSize + desc.Offset;
}
std::byte* ValueOf(std::byte* slot) {
  return slot + kNullByteSize;
}
const std::byte* ValueOf(const std::byte* slot) {
  return slot + kNullByteSize;
}
bool SlotIsNull(const std::byte* slot) {
  return *slot != kPresent;
}

TBlobBlocks::Ref BlobRef(const std::byte* slot) {
  return Load<TBlobBlocks::Ref>(ValueOf(slot) + kBlobRefOffset);
}
std::uint32_t BlobLength(const std::byte* slot) {
  return Load<std::uint32_t>(ValueOf(slot) + kBlobLengthOffset);
}
void SetBlobBlock(std::byte* slot, TBlobBlocks::Ref ref, std::uint32_t length) {
  Store(ValueOf(slot) + kBlobRefOffset, ref);
  Store(ValueOf(slot) + kBlobLengthOffset, length);
}

// The characters of a string slot, up to its terminating zero or its data size.
std::string_view StringOf(const std::byte* slot, const TFieldDesc& desc) {
  const char* text = reinterpret_cast<const char*>(ValueOf(slot));
  const std::size_t limit = static_cast<std::size_t>(std::max(desc.DataSize, 0));
  const void* zero = std::memchr(text, 0, limit);
  return std::string_view(text, zero ? static_cast<const char*>(zero) - text : limit);
}

// The front of a text that a string slot holds: its characters, never half a UTF-8 sequence.
std::string_view SlotText(std::string_view text, const TFieldDesc& desc) {
  const int bytes = std::max(desc.DataSize - 1, 0);
  return Utf8Prefix(text, static_cast<std::size_t>(StringCharsOf(desc.DataSize)),
                    static_cast<std::size_t>(bytes));
}

// "Ungültiger Wert für Feld '%s'" with the field's display name.
[[noreturn]] void InvalidValue(const TFieldDesc& desc) {
  const std::string& name = desc.Field ? desc.Field->DisplayName() : desc.Alias;
  throw EConvertError(FormatMessage(messages::kInvalidFieldValue, {name}));
}

// An integer value within [low, high]; anything else does not fit the slot.
std::int64_t CheckedInteger(const FieldValue& value, std::int64_t low, std::int64_t high) {
  const std::int64_t v = value.AsLargeint();
  if (v < low || v > high) throw EConvertError("out of range");
  return v;
}

// A 64-bit integer: the integer kinds as they are, anything else through its text, which must
// be a whole number in range (1.5, "12x" and 20 digits are not).
std::int64_t CheckedLargeint(const FieldValue& value) {
  if (value.kind() == FieldValue::Kind::Integer || value.kind() == FieldValue::Kind::Largeint) {
    return value.integer();
  }
  if (auto parsed = TryStrToInt64(value.AsText())) return *parsed;
  throw EConvertError("not a whole number");
}

// Date-times from 1 January of year 1 to 31 December 9999; anything else (an overflowing
// number, NaN) cannot be split into a day number and milliseconds.
TDateTime CheckedDateTime(const FieldValue& value) {
  constexpr TDateTime kFirst = -693593.0;  // 0001-01-01
  constexpr TDateTime kLast = 2958466.0;   // 10000-01-01
  const TDateTime stamp = value.AsDateTime();
  if (!(std::trunc(stamp) >= kFirst && stamp < kLast)) {
    throw EConvertError("Ungültiges Argument für Datumskodierung");
  }
  return stamp;
}

bool IsStringType(TFieldType type) {
  return type == ftString || type == ftFixedChar;
}

template <typename T>
int Sign(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

std::string_view Trim(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  std::size_t last = text.size();
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') --last;
  return text.substr(first, last - first);
}

}  // namespace

TSqlBuffer::TSqlBuffer(TSqlBufferOwner& owner)
    : TZItemList(0), owner_(owner), shared_(std::make_shared<Shared>()), isMain_(true) {
  SetFilter([this](const std::byte* item) { return FilterRecord(item); });
  SetCompare([this](const std::byte* a, const std::byte* b) { return CompareRecords(a, b); });
}

TSqlBuffer::TSqlBuffer(TSqlBufferOwner& owner, TSqlBuffer& mainBuffer)
    : TZItemList(0), owner_(owner), shared_(mainBuffer.shared_), isMain_(false) {
  SetCompare([this](const std::byte* a, const std::byte* b) { return CompareRecords(a, b); });
}

TSqlBuffer::~TSqlBuffer() {
  if (!blobOffsets_.empty()) {
    for (int i = 0; i < StorageCount(); ++i) {
      std::byte* item = StorageItems(i);
      if (Tag(item) != kTagRemoved) FreeBlobs(item);
    }
  }
  DropWorkRecord();
}

// ---- layout ----

void TSqlBuffer::BindFields(const TSqlFields& analyserFields,
                            std::span<const TBufferField> fields) {
  TSqlFields built;
  for (const TBufferField& field : fields) {
    int found = analyserFields.FindByAlias(field.FieldName);
    TFieldDesc& desc = found >= 0 ? built.AddCopy(analyserFields[found])
                                  : built.AddFromField(field.Field, field.FieldName, field.DataType,
                                                       field.Size, field.Required, field.ReadOnly);
    desc.Field = field.Field;
    desc.FieldType = field.DataType;
    desc.DataSize = DataSizeOf(field.DataType, field.Size);
    desc.ColumnIndex = field.FieldNo - 1;
  }
  int offset = 0;
  std::vector<int> blobs;
  for (TFieldDesc& desc : built) {
    if (!desc.Field) FatalError();
    desc.Offset = offset;
    if (IsBlobSlotType(desc.FieldType)) blobs.push_back(offset);
    offset += SlotSize(desc.DataSize);
  }

  ClearBuffer(false);
  DropWorkRecord();
  // Sort and link settings name fields by position in the old list.
  sortFields_.clear();
  reversed_ = false;
  linkFields_.clear();
  SqlFields() = std::move(built);
  layoutVersion_ = ++shared_->layoutVersion;
  blobOffsets_ = std::move(blobs);
  recordSize_ = kHeaderSize + offset;
  SetItemSize(recordSize_ + 1);
  workRecord_ = std::make_unique<std::byte[]>(static_cast<std::size_t>(recordSize_));
  InitRecordData(workRecord_.get(), -1);
}

void TSqlBuffer::BindIndices(const TSqlIndices& analyserIndices) {
  TSqlIndices& indices = SqlIndices();
  indices.Clear();
  for (const TIndexDesc& source : analyserIndices) {
    TIndexDesc copy;
    copy.TableName = source.TableName;
    copy.IndexName = source.IndexName;
    copy.KeyType = source.KeyType;
    copy.SortOrder = source.SortOrder;
    for (const std::string& column : source.Columns) {
      if (SqlFields().FindByName(source.TableName, column) >= 0) {
        copy.Columns.push_back(column);
      } else {
        copy.KeyType = TIndexDesc::kNonUnique;  // can no longer identify rows
      }
    }
    if (!copy.Columns.empty()) indices.Add(std::move(copy));
  }
}

void TSqlBuffer::TakeLayout(const TSqlBuffer& other) {
  ClearBuffer(false);
  DropWorkRecord();
  recordSize_ = other.recordSize_;
  layoutVersion_ = other.layoutVersion_;
  blobOffsets_ = other.blobOffsets_;
  SetItemSize(other.ItemSize());
  if (recordSize_ > 0) {
    workRecord_ = std::make_unique<std::byte[]>(static_cast<std::size_t>(recordSize_));
    InitRecordData(workRecord_.get(), -1);
  }
}

// ---- records ----

void TSqlBuffer::InitRecordData(std::byte* record, std::int32_t id) const {
  std::memset(record, 0, kHeaderSize);
  std::memset(record + kHeaderSize, 1, static_cast<std::size_t>(recordSize_ - kHeaderSize));
  Store(record + kMarkerOffset, kRecordMarker);
  SetRecordId(record, id);
  SetRecordStatus(record, ztUnmodified);
}

void TSqlBuffer::InitRecord(std::byte* record) {
  if (!HasLayout() || !record) FatalError();
  InitRecordData(record, nextId_++);
}

void TSqlBuffer::InitWorkRecord(std::byte* record) {
  if (!HasLayout() || !record) FatalError();
  InitRecordData(record, kNoRecordId);
}

std::byte* TSqlBuffer::AddRecord() {
  if (!HasLayout()) FatalError();
  std::byte* record = Add();
  InitRecord(record);
  return record;
}

std::byte* TSqlBuffer::InsertRecord(int index) {
  if (!HasLayout()) FatalError();
  std::byte* record = Insert(index);
  InitRecord(record);
  return record;
}

void TSqlBuffer::CopyRecord(const std::byte* source, std::byte* dest, bool whole) {
  if (!source || !dest || source == dest) return;
  if (!HasLayout()) FatalError();
  // Duplicate first: a failure here leaves the destination as it was.
  std::vector<TBlobBlocks::Handle> copies(blobOffsets_.size());
  std::vector<std::uint32_t> lengths(blobOffsets_.size(), 0);
  for (std::size_t i = 0; i < blobOffsets_.size(); ++i) {
    const std::byte* slot = source + kHeaderSize + blobOffsets_[i];
    if (SlotIsNull(slot) || BlobRef(slot) == TBlobBlocks::kNoBlock) continue;
    std::string_view bytes = Blocks().View(BlobRef(slot), BlobLength(slot));
    copies[i] = Blocks().Allocate(bytes);
    lengths[i] = static_cast<std::uint32_t>(bytes.size());
  }
  ClearRecord(dest, false);
  if (whole) {
    std::memcpy(dest, source, static_cast<std::size_t>(recordSize_));
  } else {
    std::memcpy(dest + kHeaderSize, source + kHeaderSize,
                static_cast<std::size_t>(recordSize_ - kHeaderSize));
  }
  for (std::size_t i = 0; i < blobOffsets_.size(); ++i) {
    std::byte* slot = dest + kHeaderSize + blobOffsets_[i];
    SetBlobBlock(slot, copies[i].Release(), lengths[i]);
  }
  owner_.AfterCopyRecord(*this, source, dest);
}

void TSqlBuffer::FreeBlobs(std::byte* record) noexcept {
  for (int offset : blobOffsets_) {
    std::byte* slot = record + kHeaderSize + offset;
    if (SlotIsNull(slot)) continue;
    Blocks().Free(BlobRef(slot));
    SetBlobBlock(slot, TBlobBlocks::kNoBlock, 0);
  }
}

void TSqlBuffer::ClearRecord(std::byte* record, bool setNull) {
  if (!record) return;
  if (!HasLayout()) FatalError();
  owner_.BeforeClearRecord(*this, record);
  FreeBlobs(record);
  if (setNull) {
    for (int i = 0; i < SqlFields().Count(); ++i) *SlotOf(record, SlotDesc(i)) = kNull;
  }
}

void TSqlBuffer::RemoveRecord(int index) {
  std::byte* record = Items(index);
  ClearRecord(record, false);
  Delete(index);
}

bool TSqlBuffer::DropRecord(int index) {
  std::byte* record = Items(index);
  const std::int32_t id = RecordId(record);
  RemoveRecord(index);
  if (!ReleaseLastSlot(record)) return false;
  // The identifier goes back with the slot, so identifiers keep matching positions.
  if (id == nextId_ - 1) --nextId_;
  return true;
}

void TSqlBuffer::EmptyRecords() {
  for (int i = 0; i < StorageCount(); ++i) {
    std::byte* item = StorageItems(i);
    if (Tag(item) != kTagRemoved) FreeBlobs(item);
  }
  Recycle();
  nextId_ = 0;
}

void TSqlBuffer::ClearBuffer(bool full) {
  if (!blobOffsets_.empty()) {
    const int count = StorageCount();
    bool cancel = false;
    owner_.DoProgress(0, 0, 0, count, cancel);
    for (int i = 0; i < count; ++i) {
      std::byte* item = StorageItems(i);
      if (Tag(item) != kTagRemoved) FreeBlobs(item);
      owner_.DoProgress(1, 0, i + 1, count, cancel);
    }
    owner_.DoProgress(2, 0, count, count, cancel);
  }
  Clear();
  nextId_ = 0;
  if (!full) return;
  DropLayout();
  sortFields_.clear();
  sortDirection_ = kSortAscending;
  reversed_ = false;
  linkFields_.clear();
  if (isMain_) {
    SqlFields().Clear();
    SqlIndices().Clear();
    ++shared_->layoutVersion;
  }
}

void TSqlBuffer::DropLayout() {
  DropWorkRecord();
  recordSize_ = 0;
  layoutVersion_ = -1;
  blobOffsets_.clear();
  SetItemSize(0);
}

void TSqlBuffer::DropWorkRecord() noexcept {
  if (!workRecord_) return;
  FreeBlobs(workRecord_.get());
  workRecord_.reset();
}

int TSqlBuffer::IndexOfId(std::int32_t id) const {
  if (id >= 0 && id < Count() && RecordId(Items(id)) == id) return id;
  // The record appended last, after others were removed or hidden before it.
  if (Count() > 0 && RecordId(Items(Count() - 1)) == id) return Count() - 1;
  for (int i = 0; i < Count(); ++i) {
    if (RecordId(Items(i)) == id) return i;
  }
  return -1;
}

int TSqlBuffer::IndexOfIdWithHidden(std::int32_t id) {
  int index = IndexOfId(id);
  if (index >= 0) return index;
  for (int i = 0; i < StorageCount(); ++i) {
    std::byte* item = StorageItems(i);
    if (Tag(item) == kTagHidden && RecordId(item) == id) return Show(item);
  }
  return -1;
}

// ---- field access ----

const TFieldDesc& TSqlBuffer::SlotDesc(int field) const {
  if (layoutVersion_ != shared_->layoutVersion) FatalError();
  const TFieldDesc& desc = SqlFields()[field];
  // Descriptions added after the layout was built have no slot.
  if (desc.Offset < 0 || kHeaderSize + desc.Offset + SlotSize(desc.DataSize) > recordSize_) {
    FatalError();
  }
  return desc;
}

int TSqlBuffer::FieldIndexOf(const TField* field) const {
  int index = SqlFields().FindByField(field);
  if (index < 0) FatalError();
  return index;
}

bool TSqlBuffer::IsNull(const std::byte* record, int field) const {
  return !record || SlotIsNull(SlotOf(record, SlotDesc(field)));
}

void TSqlBuffer::ResetBlobSlot(std::byte* slot, const TFieldDesc& desc) {
  std::memset(ValueOf(slot), 0, kBlobDataSize);
  Store(ValueOf(slot) + kBlobKindOffset, desc.BlobKind);
}

void TSqlBuffer::SetNull(std::byte* record, int field, bool isNull) {
  const TFieldDesc& desc = SlotDesc(field);
  std::byte* slot = SlotOf(record, desc);
  if (IsBlobSlotType(desc.FieldType)) {
    if (isNull && !SlotIsNull(slot)) {
      Blocks().Free(BlobRef(slot));
      SetBlobBlock(slot, TBlobBlocks::kNoBlock, 0);
    } else if (!isNull && SlotIsNull(slot)) {
      ResetBlobSlot(slot, desc);  // the reference of a null slot means nothing
    }
  }
  *slot = isNull ? kNull : kPresent;
}

bool TSqlBuffer::GetRaw(const std::byte* record, int field, void* buffer) const {
  if (!record) return false;
  const TFieldDesc& desc = SlotDesc(field);
  const std::byte* slot = SlotOf(record, desc);
  if (SlotIsNull(slot)) return false;
  std::memcpy(buffer, ValueOf(slot), static_cast<std::size_t>(desc.DataSize));
  return true;
}

void TSqlBuffer::SetRaw(std::byte* record, int field, const void* buffer) {
  if (!buffer) {
    SetNull(record, field, true);
    return;
  }
  const TFieldDesc& desc = SlotDesc(field);
  std::byte* slot = SlotOf(record, desc);
  if (IsBlobSlotType(desc.FieldType)) {
    if (SlotIsNull(slot)) ResetBlobSlot(slot, desc);
    std::memcpy(ValueOf(slot), buffer, kBlobRefOffset);
  } else {
    std::memcpy(ValueOf(slot), buffer, static_cast<std::size_t>(desc.DataSize));
  }
  *slot = kPresent;
}

void TSqlBuffer::SetStringText(std::byte* record, int field, std::string_view text) {
  const TFieldDesc& desc = SlotDesc(field);
  if (!IsStringType(desc.FieldType)) FatalError();
  std::byte* slot = SlotOf(record, desc);
  text = SlotText(text, desc);
  std::memcpy(ValueOf(slot), text.data(), text.size());
  ValueOf(slot)[text.size()] = std::byte{0};
  *slot = kPresent;
}

std::string_view TSqlBuffer::BlobValue(const std::byte* record, int field) const {
  if (!record) return {};
  const TFieldDesc& desc = SlotDesc(field);
  if (!IsBlobSlotType(desc.FieldType)) FatalError();
  const std::byte* slot = SlotOf(record, desc);
  if (SlotIsNull(slot)) return {};
  return Blocks().View(BlobRef(slot), BlobLength(slot));
}

std::string_view TSqlBuffer::TextView(const std::byte* record, int field) const {
  if (!record) return {};
  const TFieldDesc& desc = SlotDesc(field);
  if (IsBlobSlotType(desc.FieldType)) return BlobValue(record, field);
  if (!IsStringType(desc.FieldType)) FatalError();
  const std::byte* slot = SlotOf(record, desc);
  return SlotIsNull(slot) ? std::string_view() : StringOf(slot, desc);
}

void TSqlBuffer::StoreBlock(std::byte* slot, const TFieldDesc& desc, TBlobBlocks::Handle block,
                            std::uint32_t length) {
  if (SlotIsNull(slot)) {
    ResetBlobSlot(slot, desc);
  } else {
    Blocks().Free(BlobRef(slot));
  }
  SetBlobBlock(slot, block.Release(), length);
  *slot = kPresent;
}

char* TSqlBuffer::BlobData(std::byte* record, int field, std::uint32_t length) {
  const TFieldDesc& desc = SlotDesc(field);
  if (!IsBlobSlotType(desc.FieldType)) FatalError();
  std::byte* slot = SlotOf(record, desc);
  if (SlotIsNull(slot)) {
    ResetBlobSlot(slot, desc);
    *slot = kPresent;
  }
  TBlobBlocks::Ref ref = BlobRef(slot);
  if (length == 0 && !Blocks().IsAllocated(ref)) {
    SetBlobBlock(slot, TBlobBlocks::kNoBlock, 0);
    return nullptr;
  }
  if (Blocks().IsAllocated(ref)) {
    Blocks().Resize(ref, length);
  } else {
    ref = Blocks().Allocate(std::string(length, '\0')).Release();
  }
  SetBlobBlock(slot, ref, length);
  return Blocks().Data(ref);
}

void TSqlBuffer::ResetBlobKind(std::byte* record, int field) {
  const TFieldDesc& desc = SlotDesc(field);
  if (!IsBlobSlotType(desc.FieldType)) FatalError();
  std::byte* slot = SlotOf(record, desc);
  if (SlotIsNull(slot)) {
    ResetBlobSlot(slot, desc);
    return;
  }
  std::memset(ValueOf(slot), 0, kBlobRefOffset);
  Store(ValueOf(slot) + kBlobKindOffset, desc.BlobKind);
}

void TSqlBuffer::SetBlobValue(std::byte* record, int field, std::string_view bytes) {
  const TFieldDesc& desc = SlotDesc(field);
  if (!IsBlobSlotType(desc.FieldType)) FatalError();
  TBlobBlocks::Handle block = Blocks().Allocate(bytes);
  StoreBlock(SlotOf(record, desc), desc, std::move(block),
             static_cast<std::uint32_t>(bytes.size()));
}

FieldValue TSqlBuffer::GetFieldValue(const std::byte* record, int field) const {
  if (!record) return FieldValue::Null();
  const TFieldDesc& desc = SlotDesc(field);
  const std::byte* slot = SlotOf(record, desc);
  if (SlotIsNull(slot)) return FieldValue::Null();
  const std::byte* value = ValueOf(slot);
  switch (desc.FieldType) {
    case ftString:
    case ftFixedChar:
      return FieldValue::Bytes(std::string(StringOf(slot, desc)));
    case ftSmallint:
      return FieldValue::Integer(Load<std::int16_t>(value));
    case ftWord:
      return FieldValue::Integer(Load<std::uint16_t>(value));
    case ftInteger:
    case ftAutoInc:
      return FieldValue::Integer(Load<std::int32_t>(value));
    case ftBoolean:
      return FieldValue::Boolean(Load<std::int16_t>(value) != 0);
    case ftFloat:
    case ftCurrency:
      return FieldValue::Double(Load<double>(value));
    case ftBCD:
      return FieldValue::FromCurrency(Currency{Load<std::int64_t>(value)});
    case ftDate:
      return FieldValue::DateTime(DayNumberToDateTime(Load<std::int32_t>(value), 0));
    case ftTime:
      return FieldValue::DateTime(Load<std::int32_t>(value) / kMsPerDay);
    case ftDateTime: {
      const double stamp = Load<double>(value);
      const double day = std::floor(stamp / kMsPerDay);
      const double ms = std::round(stamp - day * kMsPerDay);
      if (!(day >= -1.0e7 && day <= 1.0e7)) FatalError();  // not a value this buffer wrote
      return FieldValue::DateTime(
          DayNumberToDateTime(static_cast<std::int32_t>(day), static_cast<std::int32_t>(ms)));
    }
    case ftLargeint:
      return FieldValue::Bytes(IntToStr(Load<std::int64_t>(value)));
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
      return FieldValue::Bytes(std::string(Blocks().View(BlobRef(slot), BlobLength(slot))));
    default:
      FatalError();
  }
}

void TSqlBuffer::WriteValue(std::byte* slot, const TFieldDesc& desc, const FieldValue& value) {
  std::byte* area = ValueOf(slot);
  switch (desc.FieldType) {
    case ftString:
    case ftFixedChar: {
      const std::string whole = value.AsText();
      const std::string_view text = SlotText(whole, desc);
      std::memcpy(area, text.data(), text.size());
      area[text.size()] = std::byte{0};
      break;
    }
    case ftSmallint:
      Store(area, static_cast<std::int16_t>(CheckedInteger(value, INT16_MIN, INT16_MAX)));
      break;
    case ftWord:
      Store(area, static_cast<std::uint16_t>(CheckedInteger(value, 0, UINT16_MAX)));
      break;
    case ftInteger:
    case ftAutoInc:
      Store(area, static_cast<std::int32_t>(CheckedInteger(value, INT32_MIN, INT32_MAX)));
      break;
    case ftBoolean:
      Store(area, static_cast<std::int16_t>(value.AsBoolean() ? 1 : 0));
      break;
    case ftFloat:
    case ftCurrency: {
      // NaN and infinities have no literal the server takes.
      const double number = value.AsDouble();
      if (!std::isfinite(number)) throw EConvertError("not a finite number");
      Store(area, number);
      break;
    }
    case ftBCD:
      Store(area, value.AsCurrency().scaled);
      break;
    case ftDate:
      Store(area, DateTimeToDayNumber(CheckedDateTime(value)));
      break;
    case ftTime:
      Store(area, DateTimeToMsOfDay(CheckedDateTime(value)));
      break;
    case ftDateTime: {
      const TDateTime stamp = CheckedDateTime(value);
      Store(area, DateTimeToDayNumber(stamp) * kMsPerDay + DateTimeToMsOfDay(stamp));
      break;
    }
    case ftLargeint:
      Store(area, CheckedLargeint(value));
      break;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo: {
      const std::string text = value.AsText();
      StoreBlock(slot, desc, Blocks().Allocate(text), static_cast<std::uint32_t>(text.size()));
      return;
    }
    default:
      FatalError();
  }
  *slot = kPresent;
}

void TSqlBuffer::SetFieldValue(std::byte* record, int field, const FieldValue& value) {
  if (value.IsNullOrEmpty()) {
    SetNull(record, field, true);
    return;
  }
  const TFieldDesc& desc = SlotDesc(field);
  try {
    WriteValue(SlotOf(record, desc), desc, value);
  } catch (const EConvertError&) {
    SetNull(record, field, true);
    InvalidValue(desc);
  } catch (const EVariantError&) {
    SetNull(record, field, true);
    InvalidValue(desc);
  } catch (...) {
    SetNull(record, field, true);
    throw;
  }
}

std::string TSqlBuffer::GetValueText(const std::byte* record, int field) const {
  if (!record) return "NULL";
  const TFieldDesc& desc = SlotDesc(field);
  const std::byte* slot = SlotOf(record, desc);
  if (desc.FieldType == ftBCD) {
    // Exact and with a point, whatever the locale's currency format says.
    return SlotIsNull(slot) ? "NULL" : ScaledDecimalText(Load<std::int64_t>(ValueOf(slot)));
  }
  if ((desc.FieldType == ftDate || desc.FieldType == ftDateTime) && !SlotIsNull(slot)) {
    // Day 0 (30 December 1899) is a date like any other, not the empty date 0001-01-01.
    const TDateTime value = GetFieldValue(record, field).AsDateTime();
    std::string text = DateToSqlText(value);
    if (desc.FieldType == ftDateTime && DateTimeToMsOfDay(value) != 0) {
      text += ' ';
      text += TimeToSqlText(value);
    }
    return text;
  }
  return ValueToSqlText(GetFieldValue(record, field), desc.FieldType, owner_.DatabaseType());
}

void TSqlBuffer::SetValueText(std::byte* record, int field, std::string_view text) {
  const TFieldDesc& desc = SlotDesc(field);
  FieldValue value;
  if (desc.FieldType == ftBCD) {
    // The server's decimal text, read exactly.
    const auto scaled = ParseScaledDecimal(text);
    if (!scaled) {
      SetNull(record, field, true);
      InvalidValue(desc);
    }
    value = FieldValue::FromCurrency(Currency{*scaled});
  } else {
    try {
      value = SqlTextToValue(text, desc.FieldType);
    } catch (...) {
      SetNull(record, field, true);
      throw;
    }
  }
  SetFieldValue(record, field, value);
}

// ---- record filter ----

void TSqlBuffer::SetShowRecordTypes(std::uint8_t recordTypes) {
  showRecordTypes_ = recordTypes;
  if (isMain_) Refilter();
}

void TSqlBuffer::SetLinkFields(std::vector<int> fields) {
  for (int field : fields) SlotDesc(field);
  linkFields_ = std::move(fields);
}

bool TSqlBuffer::FilterRecord(const std::byte* record) const {
  const std::uint8_t status = RecordStatus(record);
  if (status > 7 || !(showRecordTypes_ & (1u << status))) return false;
  if (workRecord_) {
    for (int field : linkFields_) {
      if (CompareField(record, workRecord_.get(), field) != 0) return false;
    }
  }
  return owner_.AcceptRecord(*this, record);
}

// ---- sort ----

void TSqlBuffer::SetSort(std::string_view fieldList, std::uint8_t direction) {
  std::vector<int> fields;
  while (!fieldList.empty() && static_cast<int>(fields.size()) < kMaxSortFields) {
    std::size_t cut = fieldList.find_first_of(",;");
    std::string entry = UpperCase(Trim(fieldList.substr(0, cut)));
    fieldList = cut == std::string_view::npos ? std::string_view() : fieldList.substr(cut + 1);
    if (entry.empty()) continue;
    int index;
    if (IsSqlDigit(entry[0])) {
      auto number = TryStrToInt(entry);
      index = number && *number < SqlFields().Count() ? *number : -1;
    } else {
      index = SqlFields().FindByAlias(StripQuotes(entry));
    }
    if (index < 0) throw EDatabaseError(FormatMessage("Unknown field %s", {entry}));
    fields.push_back(index);
  }
  sortFields_ = std::move(fields);
  sortDirection_ = direction;
  reversed_ = false;
  if (sortFields_.empty()) {
    Rebuild();
  } else {
    Sort();
  }
}

void TSqlBuffer::Reverse() {
  std::reverse(VisibleItems().begin(), VisibleItems().end());
  reversed_ = !reversed_;
}

void TSqlBuffer::SortAgain() {
  if (!sortFields_.empty()) Sort();
  if (reversed_) std::reverse(VisibleItems().begin(), VisibleItems().end());
}

void TSqlBuffer::Resort() {
  Sort();
  if (reversed_) std::reverse(VisibleItems().begin(), VisibleItems().end());
}

int TSqlBuffer::CompareRecords(const std::byte* a, const std::byte* b) const {
  for (int field : sortFields_) {
    int result = CompareField(a, b, field);
    if (result != 0) return sortDirection_ == kSortDescending ? -result : result;
  }
  return 0;
}

int TSqlBuffer::CompareField(const std::byte* a, const std::byte* b, int field) const {
  const TFieldDesc& desc = SlotDesc(field);
  const std::byte* slotA = SlotOf(a, desc);
  const std::byte* slotB = SlotOf(b, desc);
  const bool nullA = SlotIsNull(slotA);
  const bool nullB = SlotIsNull(slotB);
  if (nullA || nullB) return nullA == nullB ? 0 : (nullA ? -1 : 1);
  const std::byte* va = ValueOf(slotA);
  const std::byte* vb = ValueOf(slotB);
  switch (desc.FieldType) {
    case ftString:
    case ftFixedChar: {
      const std::string textA(StringOf(slotA, desc));
      const std::string textB(StringOf(slotB, desc));
      int result = std::strcoll(textA.c_str(), textB.c_str());
      return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    case ftSmallint:
      return Sign(Load<std::int16_t>(va), Load<std::int16_t>(vb));
    case ftWord:
      return Sign(Load<std::uint16_t>(va), Load<std::uint16_t>(vb));
    case ftBoolean:
      return Sign(Load<std::int16_t>(va) != 0, Load<std::int16_t>(vb) != 0);
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
      return Sign(Load<std::int32_t>(va), Load<std::int32_t>(vb));
    case ftLargeint:
    case ftBCD:
      return Sign(Load<std::int64_t>(va), Load<std::int64_t>(vb));
    case ftFloat:
    case ftCurrency:
      return Sign(Load<double>(va), Load<double>(vb));
    case ftDateTime: {
      const double diff = Load<double>(va) - Load<double>(vb);
      return std::fabs(diff) <= 1000.0 ? 0 : (diff < 0 ? -1 : 1);
    }
    default:
      return 0;
  }
}

}  // namespace tabulix
