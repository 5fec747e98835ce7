#include "source/dbase/RecordDecoder.h"

#include <limits>

#include "framework/AsciiCase.h"
#include "framework/Exceptions.h"
#include "source/dbase/ValueDecoding.h"

namespace tabulix::source::dbase {
namespace {

bool BitSet(std::string_view flags, int bit) {
  if (bit < 0 || static_cast<std::size_t>(bit / 8) >= flags.size()) return false;
  return (static_cast<unsigned char>(flags[bit / 8]) >> (bit % 8)) & 1;
}

bool Fits(TFieldType type, std::int64_t v) {
  switch (type) {
    case ftSmallint:
      return v >= std::numeric_limits<std::int16_t>::min() &&
             v <= std::numeric_limits<std::int16_t>::max();
    case ftInteger:
      return v >= std::numeric_limits<std::int32_t>::min() &&
             v <= std::numeric_limits<std::int32_t>::max();
    default:
      return true;
  }
}

// A whole number that fits the field's type.
FieldValue WholeValue(TFieldType type, std::int64_t v) {
  if (type == ftSmallint || type == ftInteger)
    return FieldValue::Integer(static_cast<std::int32_t>(v));
  return FieldValue::Largeint(v);
}

}  // namespace

RecordDecoder::RecordDecoder(std::vector<DbaseColumn> columns, TextDecoder& text, MemoStore& memos,
                             ValueWarnings& warnings, const Options& options)
    : withoutMemos_(options.withoutMemos), text_(text), memos_(memos), warnings_(warnings) {
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
  MarkBinary(options.binaryFields);
}

void RecordDecoder::MarkBinary(const std::vector<std::string>& fields) {
  for (const std::string& wanted : fields) {
    std::size_t i = 0;
    while (i < columns_.size() && !EqualsIgnoreCase(names_[i], wanted) &&
           !EqualsIgnoreCase(TrimTrailingBlanks(columns_[i].descriptor.rawName), wanted)) {
      ++i;
    }
    if (i == columns_.size()) {
      throw Exception(memos_.TablePath() + ": the table has no field '" + wanted +
                      "' to read as raw bytes");
    }
    if (!ReadAsBinary(columns_[i])) {
      throw Exception(memos_.TablePath() + ": field '" + names_[i] +
                      "' cannot be read as raw bytes: only character and memo fields can");
    }
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
    // to call for every value. Values that do not decode leave by a separate road.
    std::string_view bytes = record.substr(static_cast<std::size_t>(c.descriptor.offset),
                                           static_cast<std::size_t>(c.descriptor.length));
    switch (c.kind) {
      case ValueKind::Text:
        return Text(index, TrimTrailingBlanks(bytes));
      case ValueKind::Numeric:
        if (c.type == ftFloat) {
          if (auto number = ParseNumber(bytes)) return FieldValue::Double(*number);
        } else if (auto number = ParseWholeNumber(bytes); number && Fits(c.type, *number)) {
          return WholeValue(c.type, *number);
        }
        return Unparsed(index, bytes);
      case ValueKind::Date:
        if (auto date = ParseDate(bytes)) return FieldValue::DateTime(*date);
        return Unparsed(index, bytes);
      case ValueKind::Logical:
        if (auto logical = ParseLogical(bytes)) return FieldValue::Boolean(*logical);
        return Unparsed(index, bytes);
      default:
        break;
    }
  }
  return DecodeAnyField(index, record, nullFlags, recordNumber);
}

FieldValue RecordDecoder::Unparsed(std::size_t index, std::string_view bytes) {
  const DbaseColumn& c = columns_[index];
  // Text kinds show their stored text without the blanks around it, binary kinds all bytes.
  std::string_view text = TrimBlanks(bytes);
  switch (c.kind) {
    case ValueKind::Numeric: {
      // Thousands separators: the groups of three digits leave no doubt.
      std::optional<std::string> plain;
      std::string_view number = bytes;
      if (c.type == ftFloat || !ParseWholeNumber(bytes)) {
        if (IsBlankNumber(bytes)) return FieldValue::Null();
        plain = UngroupNumber(bytes);
        if (!plain) return Damaged(index, ValueProblem::NotANumber, text);
        number = *plain;
      }
      if (c.type == ftFloat) {
        if (auto value = ParseNumber(number)) return FieldValue::Double(*value);
      } else if (auto value = ParseWholeNumber(number)) {
        if (Fits(c.type, *value)) return WholeValue(c.type, *value);
        return Damaged(index, ValueProblem::NumberTooLarge, text);
      }
      return Damaged(index, ValueProblem::NotANumber, text);
    }
    case ValueKind::Date:
      if (IsBlankDate(bytes)) return FieldValue::Null();
      return Damaged(index, ValueProblem::InvalidDate, text);
    case ValueKind::Logical:
      if (IsBlankLogical(bytes)) return FieldValue::Null();
      return Damaged(index, ValueProblem::UnknownLogical, text);
    case ValueKind::Dbase7Double:
    case ValueKind::VfpDouble:
      if (IsBlankBinary(bytes)) return FieldValue::Null();
      return Damaged(index, ValueProblem::NotANumber, bytes);
    case ValueKind::Dbase7Timestamp:
    case ValueKind::VfpDateTime:
      if (IsBlankBinary(bytes)) return FieldValue::Null();
      return Damaged(index, ValueProblem::InvalidDate, bytes);
    default:
      return FieldValue::Null();
  }
}

FieldValue RecordDecoder::Damaged(std::size_t index, ValueProblem problem,
                                  std::string_view stored) {
  warnings_.Note(index, problem, stored);
  return FieldValue::Null();
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
      if (length >= bytes.size()) return Damaged(index, ValueProblem::DamagedLength, bytes);
      bytes = bytes.substr(0, length);
    }
  }
  switch (c.kind) {
    case ValueKind::Text:
    case ValueKind::VarText:
      return Text(index, TrimTrailingBlanks(bytes));
    case ValueKind::VarBinary:
      return bytes.empty() ? FieldValue::Null() : FieldValue::Bytes(std::string(bytes));
    case ValueKind::FixedBytes:
      return FieldValue::Bytes(std::string(bytes));
    case ValueKind::Numeric:
      if (c.type == ftFloat) {
        if (auto number = ParseNumber(bytes)) return FieldValue::Double(*number);
      } else if (auto number = ParseWholeNumber(bytes); number && Fits(c.type, *number)) {
        return WholeValue(c.type, *number);
      }
      return Unparsed(index, bytes);
    case ValueKind::Date:
      if (auto date = ParseDate(bytes)) return FieldValue::DateTime(*date);
      return Unparsed(index, bytes);
    case ValueKind::Logical:
      if (auto logical = ParseLogical(bytes)) return FieldValue::Boolean(*logical);
      return Unparsed(index, bytes);
    case ValueKind::MemoText:
    case ValueKind::MemoBinary:
      return Memo(index, bytes, recordNumber);
    case ValueKind::VfpInteger:
      return FieldValue::Integer(DecodeVfpInteger(bytes));
    case ValueKind::Dbase7Integer:
      if (auto v = DecodeDbase7Integer(bytes)) return FieldValue::Integer(*v);
      return FieldValue::Null();
    case ValueKind::Dbase7Double:
      if (auto v = DecodeDbase7Double(bytes)) return FieldValue::Double(*v);
      return Unparsed(index, bytes);
    case ValueKind::Dbase7Timestamp:
      if (auto v = DecodeDbase7Timestamp(bytes)) return FieldValue::DateTime(*v);
      return Unparsed(index, bytes);
    case ValueKind::VfpDateTime:
      if (auto v = DecodeVfpDateTime(bytes)) return FieldValue::DateTime(*v);
      return Unparsed(index, bytes);
    case ValueKind::VfpCurrency:
      return FieldValue::Double(DecodeVfpCurrency(bytes));
    case ValueKind::VfpDouble:
      if (auto v = DecodeVfpDouble(bytes)) return FieldValue::Double(*v);
      return Unparsed(index, bytes);
    case ValueKind::NullFlags:
      break;
  }
  return FieldValue::Null();
}

FieldValue RecordDecoder::Text(std::size_t index, std::string_view bytes) {
  if (bytes.empty()) return FieldValue::Null();
  return FieldValue::Bytes(Decoded(index, bytes));
}

std::string RecordDecoder::Decoded(std::size_t index, std::string_view bytes) {
  TextReport report;
  // One named result returned on every road, so that it is built in place.
  std::string text = text_.ToUtf8(bytes, report);
  if (report.nonAscii) [[unlikely]] {
    NoteText(index, bytes, report);
  }
  return text;
}

FieldValue RecordDecoder::Memo(std::size_t index, std::string_view pointer,
                               std::uint32_t recordNumber) {
  std::optional<std::uint32_t> block = ParseMemoBlock(pointer);
  if (!block) {
    throw Exception(memos_.TablePath() + ": damaged memo pointer in field '" + names_[index] +
                    "' of record " + std::to_string(recordNumber));
  }
  if (*block == 0) return FieldValue::Null();
  if (withoutMemos_ && memos_.Missing()) {
    warnings_.Note(index, ValueProblem::MemoFileMissing, {});
    return FieldValue::Null();
  }
  std::string memo = memos_.Read(*block, names_[index]);
  if (memo.empty()) return FieldValue::Null();
  if (columns_[index].kind != ValueKind::MemoText) return FieldValue::Bytes(std::move(memo));
  return FieldValue::Bytes(Decoded(index, memo));
}

void RecordDecoder::NoteText(std::size_t index, std::string_view bytes, const TextReport& report) {
  if (report.undefinedBytes) warnings_.Note(index, ValueProblem::UndefinedBytes, bytes);
  if (report.looksLikeUtf8) warnings_.Note(index, ValueProblem::LooksLikeUtf8, bytes);
  if (report.notUtf8) warnings_.NoteNotUtf8(index);
}

}  // namespace tabulix::source::dbase
