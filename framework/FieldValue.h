#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "framework/DateTime.h"
#include "framework/NumberText.h"

namespace tabulix {

// The tagged value in which values pass between fields, records and conversions.
// Text and binary values are both byte strings.
class FieldValue {
 public:
  enum class Kind : std::uint8_t {
    Empty,
    Null,
    Integer,
    Largeint,
    Double,
    Currency,
    Boolean,
    DateTime,
    Bytes,
  };

  FieldValue() = default;  // empty
  static FieldValue Null() { return FieldValue(Kind::Null, std::monostate{}); }
  static FieldValue Integer(std::int32_t v) { return FieldValue(Kind::Integer, std::int64_t{v}); }
  static FieldValue Largeint(std::int64_t v) { return FieldValue(Kind::Largeint, v); }
  static FieldValue Double(double v) { return FieldValue(Kind::Double, v); }
  static FieldValue FromCurrency(tabulix::Currency v) {
    return FieldValue(Kind::Currency, v.scaled);
  }
  static FieldValue Boolean(bool v) { return FieldValue(Kind::Boolean, v); }
  static FieldValue DateTime(TDateTime v) { return FieldValue(Kind::DateTime, v); }
  static FieldValue Bytes(std::string v) { return FieldValue(Kind::Bytes, std::move(v)); }

  Kind kind() const { return kind_; }
  bool IsEmpty() const { return kind_ == Kind::Empty; }
  bool IsNull() const { return kind_ == Kind::Null; }
  // True for empty and null: no value at all.
  bool IsNullOrEmpty() const { return kind_ == Kind::Empty || kind_ == Kind::Null; }

  // Conversions by the runtime's value rules; each raises EVariantError for an empty or
  // null value and EConvertError (or EVariantError) when the value does not convert.
  std::int32_t AsInteger() const;  // true gives -1, false 0; floats are rounded
  std::int64_t AsLargeint() const;
  double AsDouble() const;
  tabulix::Currency AsCurrency() const;
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
  // The value's own text: decimal integers, FloatToStr, CurrToStr, "True"/"False",
  // DateTimeToStr, the bytes themselves. Empty and null give "".
  std::string AsText() const;

  // Direct access to the stored byte string (only valid for Kind::Bytes).
  const std::string& bytes() const { return std::get<std::string>(data_); }
  // Direct access to the stored number: integer() for Kind::Integer, Largeint and Currency
  // (ten-thousandths), real() for Kind::Double and DateTime, boolean() for Kind::Boolean.
  std::int64_t integer() const { return std::get<std::int64_t>(data_); }
  double real() const { return std::get<double>(data_); }
  bool boolean() const { return std::get<bool>(data_); }

  friend bool operator==(const FieldValue& a, const FieldValue& b) {
    return a.kind_ == b.kind_ && a.data_ == b.data_;
  }

  static std::string_view KindName(Kind kind);

 private:
  using Data = std::variant<std::monostate, std::int64_t, double, bool, std::string>;
  FieldValue(Kind kind, Data data) : kind_(kind), data_(std::move(data)) {}
  [[noreturn]] void FailCast(std::string_view target) const;

  Kind kind_ = Kind::Empty;
  Data data_;
};

}  // namespace tabulix
