#include "source/dbase/RecordDecoder.h"

#include <limits>

#include "framework/Exceptions.h"
#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

bool BitSet(std::string_view flags, int bit) {
  if (bit < 0 || static_cast<std::size_t>(bit / 8) >= flags.size()) return false;
  return (static_cast<unsigned char>(flags[bit / 8]) >> (bit % 8)) & 1;
}

FieldValue WholeNumber(TFieldType type, std::int64_t v) {
  switch (type) {
    case ftSmallint:
      if (v < std::numeric_limits<std::int16_t>::min() ||
          v > std::numeric_limits<std::int16_t>::max()) {
        return FieldValue::Null();
      }
      return FieldValue::Integer(static_cast<std::int32_t>(v));
    case ftInteger:
      if (v < std::numeric_limits<std::int32_t>::min() ||
          v > std::numeric_limits<std::int32_t>::max()) {
        return FieldValue::Null();
      }
      return FieldValue::Integer(static_cast<std::int32_t>(v));
    default:
      return FieldValue::Largeint(v);
  }
}

template <typename T, typename Make>
FieldValue OrNull(const std::optional<T>& v, Make make) {
  return v ? make(*v) : FieldValue::Null();
}

}  // namespace

RecordDecoder::RecordDecoder(std::vector<DbaseColumn> columns, TextDecoder& text, MemoStore& memos)
    : text_(text), memos_(memos) {
  for (auto& c : columns) {
    if (c.kind == ValueKind::NullFlags) {
      if (nullFlagsOffset_ < 0) {
        nullFlagsOffset_ = c.descriptor.offset;
        nullFlagsLength_ = c.descriptor.length;
      }
      continue;
    }
    names_.push_back(std::string(TrimTrailingBlanks(text_.ToUtf8(c.descriptor.rawName))));
    columns_.push_back(std::move(c));
  }
}

void RecordDecoder::Decode(std::string_view record, std::uint32_t recordNumber,
                           std::vector<FieldValue>& values) {
  std::string_view nullFlags;
  if (nullFlagsOffset_ >= 0) {
    nullFlags = record.substr(static_cast<std::size_t>(nullFlagsOffset_),
                              static_cast<std::size_t>(nullFlagsLength_));
  }
  // The vector usually holds an earlier record's values already: overwrite them in place.
  const std::size_t count = columns_.size();
  values.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    values[i] = DecodeField(i, record, nullFlags, recordNumber);
  }
}

FieldValue RecordDecoder::DecodeField(std::size_t index, std::string_view record,
                                      std::string_view nullFlags, std::uint32_t recordNumber) {
  const DbaseColumn& c = columns_[index];
  if (nullFlags.empty()) {
    // No null flags: the common kinds decode here, in a function small enough to be cheap
    // to call for every value.
    std::string_view bytes = record.substr(static_cast<std::size_t>(c.descriptor.offset),
                                           static_cast<std::size_t>(c.descriptor.length));
    switch (c.kind) {
      case ValueKind::Text:
        return Text(TrimTrailingBlanks(bytes));
      case ValueKind::Numeric:
        if (c.type == ftFloat) return OrNull(ParseNumber(bytes), FieldValue::Double);
        return OrNull(ParseWholeNumber(bytes),
                      [&](std::int64_t v) { return WholeNumber(c.type, v); });
      case ValueKind::Date:
        return OrNull(ParseDate(bytes), FieldValue::DateTime);
      case ValueKind::Logical:
        return OrNull(ParseLogical(bytes), FieldValue::Boolean);
      default:
        break;
    }
  }
  return DecodeAnyField(index, record, nullFlags, recordNumber);
}

FieldValue RecordDecoder::DecodeAnyField(std::size_t index, std::string_view record,
                                         std::string_view nullFlags, std::uint32_t recordNumber) {
  const DbaseColumn& c = columns_[index];
  if (BitSet(nullFlags, c.nullBit)) return FieldValue::Null();
  std::string_view bytes = record.substr(static_cast<std::size_t>(c.descriptor.offset),
                                         static_cast<std::size_t>(c.descriptor.length));
  if (c.kind == ValueKind::VarText || c.kind == ValueKind::VarBinary) {
    if (BitSet(nullFlags, c.varLengthBit)) {
      // The real length sits in the last byte of the field.
      auto length = static_cast<unsigned char>(bytes.back());
      if (length >= bytes.size()) return FieldValue::Null();
      bytes = bytes.substr(0, length);
    }
  }
  switch (c.kind) {
    case ValueKind::Text:
    case ValueKind::VarText:
      return Text(TrimTrailingBlanks(bytes));
    case ValueKind::VarBinary:
      return bytes.empty() ? FieldValue::Null() : FieldValue::Bytes(std::string(bytes));
    case ValueKind::Numeric:
      if (c.type == ftFloat) return OrNull(ParseNumber(bytes), FieldValue::Double);
      return OrNull(ParseWholeNumber(bytes),
                    [&](std::int64_t v) { return WholeNumber(c.type, v); });
    case ValueKind::Date:
      return OrNull(ParseDate(bytes), FieldValue::DateTime);
    case ValueKind::Logical:
      return OrNull(ParseLogical(bytes), FieldValue::Boolean);
    case ValueKind::MemoText:
    case ValueKind::MemoBinary:
      return Memo(index, bytes, recordNumber);
    case ValueKind::VfpInteger:
      return FieldValue::Integer(DecodeVfpInteger(bytes));
    case ValueKind::Dbase7Integer:
      return OrNull(DecodeDbase7Integer(bytes), FieldValue::Integer);
    case ValueKind::Dbase7Double:
      return OrNull(DecodeDbase7Double(bytes), FieldValue::Double);
    case ValueKind::Dbase7Timestamp:
      return OrNull(DecodeDbase7Timestamp(bytes), FieldValue::DateTime);
    case ValueKind::VfpDateTime:
      return OrNull(DecodeVfpDateTime(bytes), FieldValue::DateTime);
    case ValueKind::VfpCurrency:
      return FieldValue::Double(DecodeVfpCurrency(bytes));
    case ValueKind::VfpDouble:
      return OrNull(DecodeVfpDouble(bytes), FieldValue::Double);
    case ValueKind::NullFlags:
      break;
  }
  return FieldValue::Null();
}

FieldValue RecordDecoder::Memo(std::size_t index, std::string_view pointer,
                               std::uint32_t recordNumber) {
  std::optional<std::uint32_t> block = ParseMemoBlock(pointer);
  if (!block) {
    throw Exception(memos_.TablePath() + ": damaged memo pointer in field '" + names_[index] +
                    "' of record " + std::to_string(recordNumber));
  }
  if (*block == 0) return FieldValue::Null();
  std::string memo = memos_.Read(*block, names_[index]);
  if (memo.empty()) return FieldValue::Null();
  if (columns_[index].kind == ValueKind::MemoText) return FieldValue::Bytes(text_.ToUtf8(memo));
  return FieldValue::Bytes(std::move(memo));
}

FieldValue RecordDecoder::Text(std::string_view bytes) {
  if (bytes.empty()) return FieldValue::Null();
  return FieldValue::Bytes(text_.ToUtf8(bytes));
}

}  // namespace tabulix::source::dbase
