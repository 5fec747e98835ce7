#include "source/paradox/FieldDecoder.h"

#include <cstring>

#include "framework/Exceptions.h"
#include "source/paradox/ByteOrder.h"
#include "source/paradox/ValueDecoding.h"

namespace tabulix::source::paradox {
namespace {

constexpr std::uint8_t kGraphicPrefix[4] = {0x01, 0x00, 0x00, 0x01};
constexpr std::size_t kGraphicPrefixSize = 8;

bool AllZero(const std::uint8_t* p, int size) {
  for (int i = 0; i < size; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

std::string Bytes(const std::uint8_t* p, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(p), size);
}

// Some writers store a graphic as 01 00 00 01, the image length, then the image.
void StripGraphicPrefix(std::string& value) {
  if (value.size() < kGraphicPrefixSize ||
      std::memcmp(value.data(), kGraphicPrefix, sizeof kGraphicPrefix) != 0) {
    return;
  }
  std::uint32_t imageLength = Le32(reinterpret_cast<const std::uint8_t*>(value.data()) + 4);
  if (imageLength == value.size() - kGraphicPrefixSize) value.erase(0, kGraphicPrefixSize);
}

template <typename T>
FieldValue OrNull(const std::optional<T>& v, FieldValue (*make)(T)) {
  return v ? make(*v) : FieldValue::Null();
}

FieldValue FromTime(const DecodedTime& t, const char* what) {
  if (!t.valid) throw Exception(std::string("stored value is no valid ") + what);
  return t.null ? FieldValue::Null() : FieldValue::DateTime(t.value);
}

std::string_view View(const std::uint8_t* p, std::size_t size) {
  return std::string_view(reinterpret_cast<const char*>(p), size);
}

}  // namespace

FieldValue FieldDecoder::Text(std::size_t index, std::string_view bytes) {
  TextReport report;
  // Built where it is returned: no copy of the text on the way out.
  std::string text = text_.ToUtf8(bytes, report);
  if (report.nonAscii) [[unlikely]] {
    if (report.undefinedBytes) warnings_.Note(index, ValueProblem::UndefinedBytes, bytes);
    if (report.looksLikeUtf8) warnings_.Note(index, ValueProblem::LooksLikeUtf8, bytes);
    if (report.notUtf8) warnings_.NoteNotUtf8(index);
  }
  return FieldValue::Bytes(std::move(text));
}

FieldValue FieldDecoder::Decode(std::size_t index, const ParadoxField& field,
                                const std::uint8_t* record) {
  const std::uint8_t* p = record + field.offset;
  switch (field.type->type) {
    case ftString: {
      if (p[0] == 0) return FieldValue::Null();
      if (Binary(index)) return FieldValue::Bytes(Bytes(p, static_cast<std::size_t>(field.size)));
      const void* end = std::memchr(p, 0, static_cast<std::size_t>(field.size));
      std::size_t length =
          end ? static_cast<const std::uint8_t*>(end) - p : static_cast<std::size_t>(field.size);
      return Text(index, View(p, length));
    }
    case ftSmallint:
    case ftInteger:
    case ftAutoInc:
      return OrNull(DecodeInteger(p, field.size), &FieldValue::Integer);
    case ftFloat:
    case ftCurrency:
      return OrNull(DecodeDouble(p), &FieldValue::Double);
    case ftBoolean:
      return OrNull(DecodeLogical(p), &FieldValue::Boolean);
    case ftDate:
      return FromTime(DecodeDate(p), "date");
    case ftTime:
      return FromTime(DecodeTime(p), "time of day");
    case ftDateTime:
      return FromTime(DecodeTimestamp(p), "timestamp");
    case ftBCD: {
      DecodedBcd bcd = DecodeBcd(p, field.sizeByte);
      if (bcd.overflow) throw Exception("BCD value exceeds the range of a currency value");
      if (bcd.badDigit) {
        warnings_.Note(index, ValueProblem::BadBcdDigit, View(p, kBcdStorageSize));
        return FieldValue::Null();
      }
      return bcd.null ? FieldValue::Null() : FieldValue::FromCurrency(bcd.value);
    }
    case ftBytes:
      if (AllZero(p, field.size)) return FieldValue::Null();
      return FieldValue::Bytes(Bytes(p, static_cast<std::size_t>(field.size)));
    default:
      return DecodeBlob(index, field, p);
  }
}

FieldValue FieldDecoder::DecodeBlob(std::size_t index, const ParadoxField& field,
                                    const std::uint8_t* data) {
  const int leader = field.size - kBlobDescriptorSize;
  BlobRef ref = ReadBlobRef(data + leader);
  if (ref.length == 0) return FieldValue::Null();
  // A value no longer than the leader is kept in the record alone.
  const bool inRecord = ref.length <= static_cast<std::uint32_t>(leader);
  if (!inRecord && withoutBlobFile_ && blobs_.Missing()) {
    warnings_.Note(index, ValueProblem::MemoFileMissing, {});
    return FieldValue::Null();
  }
  std::string value = inRecord ? Bytes(data, ref.length) : blobs_.Read(ref);
  switch (field.type->type) {
    case ftMemo:
      if (Binary(index)) return FieldValue::Bytes(std::move(value));
      return Text(index, value);
    case ftGraphic:
      StripGraphicPrefix(value);
      return FieldValue::Bytes(std::move(value));
    default:
      return FieldValue::Bytes(std::move(value));
  }
}

}  // namespace tabulix::source::paradox
