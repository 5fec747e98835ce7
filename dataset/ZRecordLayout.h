#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "framework/FieldType.h"
#include "framework/SharedEnums.h"

// The byte layout of a dataset record, shared by the record buffers, the dataset and the
// framework's record buffers. Multi-byte numbers are stored in the machine's byte order and
// need not be aligned.
//
//   header (16 bytes)
//     0      marker, always kRecordMarker
//     1..4   record identifier (int32; also the dataset's bookmark)
//     5      record status (TZRecordType)
//     6..14  not used (zero)
//     15     the framework's bookmark flag
//   data area: one slot per field description, in description order
//     0      null byte: 1 null, 0 a value is present
//     1..    value area of max(data size, 4) bytes
//
// Value formats: ftString UTF-8 text, zero-terminated when shorter than its area; a field of n
// characters holds up to n characters of up to 4 bytes each (data size = 4n + 1); ftSmallint and
// ftWord 16 bits; ftInteger and ftAutoInc int32; ftBoolean 16 bits (0 false); ftFloat and
// ftCurrency double; ftBCD int64 of ten-thousandths; ftDate int32 day number (1 January of
// year 1 is day 1); ftTime int32 milliseconds since midnight; ftDateTime double of
// day number * 86,400,000 + milliseconds of the day; ftLargeint int64.
//
// Blob slots (ftBlob, ftMemo, ftGraphic, ftFmtMemo) have a data size of 17:
//     0      blob kind (0: the value is held in the record)
//     1..8   server blob identifier, two uint32 halves (0 when none)
//     9..12  uint32 block reference: 1-based index into the owning buffer's block table
//            (TBlobBlocks), 0 when the value has no block
//     13..16 uint32 length of the value in bytes
// The reference and length mean something only while the null byte is 0; the record owns the
// block it refers to.
namespace tabulix::record {

inline constexpr std::uint8_t kRecordMarker = 123;
inline constexpr int kMarkerOffset = 0;
inline constexpr int kIdOffset = 1;
inline constexpr int kStatusOffset = 5;
inline constexpr int kUnusedOffset = 6;
inline constexpr int kUnusedSize = 9;
inline constexpr int kBookmarkFlagOffset = 15;
inline constexpr int kHeaderSize = 16;

inline constexpr int kNullByteSize = 1;
inline constexpr int kMinValueSize = 4;
inline constexpr std::byte kNull{1};
inline constexpr std::byte kPresent{0};

inline constexpr int kBlobDataSize = 17;
inline constexpr int kBlobKindOffset = 0;
inline constexpr int kBlobIdLowOffset = 1;
inline constexpr int kBlobIdHighOffset = 5;
inline constexpr int kBlobRefOffset = 9;
inline constexpr int kBlobLengthOffset = 13;

inline constexpr double kMsPerDay = 86400000.0;

inline bool IsBlobSlotType(TFieldType type) {
  return type == ftBlob || type == ftMemo || type == ftGraphic || type == ftFmtMemo;
}

// A character of UTF-8 text takes up to this many bytes.
inline constexpr int kMaxCharBytes = 4;

// Bytes of the value of a field of that type and declared size (characters for strings).
inline int DataSizeOf(TFieldType type, int size) {
  switch (type) {
    case ftString:
    case ftFixedChar:
      return kMaxCharBytes * std::max(size, 0) + 1;
    case ftSmallint:
    case ftWord:
    case ftBoolean:
      return 2;
    case ftInteger:
    case ftAutoInc:
    case ftDate:
    case ftTime:
      return 4;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDateTime:
    case ftLargeint:
      return 8;
    default:
      return IsBlobSlotType(type) ? kBlobDataSize : std::max(size, 0);
  }
}

// The characters a string slot of that data size holds.
inline int StringCharsOf(int dataSize) {
  return std::max(dataSize - 1, 0) / kMaxCharBytes;
}

// Null byte plus value area.
inline int SlotSize(int dataSize) {
  return kNullByteSize + std::max(dataSize, kMinValueSize);
}

template <typename T>
T Load(const std::byte* at) {
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <typename T>
void Store(std::byte* at, T value) {
  std::memcpy(at, &value, sizeof value);
}

inline std::int32_t RecordId(const std::byte* record) {
  return Load<std::int32_t>(record + kIdOffset);
}
inline void SetRecordId(std::byte* record, std::int32_t id) {
  Store(record + kIdOffset, id);
}
inline std::uint8_t RecordStatus(const std::byte* record) {
  return Load<std::uint8_t>(record + kStatusOffset);
}
inline void SetRecordStatus(std::byte* record, std::uint8_t status) {
  Store(record + kStatusOffset, status);
}

}  // namespace tabulix::record
