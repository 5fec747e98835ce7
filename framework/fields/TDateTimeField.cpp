#include "framework/fields/TDateTimeField.h"

#include <cmath>

#include "framework/Exceptions.h"

namespace tabulix {

namespace {

// 1 January of year 1 and 1 January of year 10000 as date-times.
constexpr double kFirstDay = -693593.0;
constexpr double kPastLastDay = 2958466.0;

}  // namespace

FieldValue TDateTimeField::ConvertValue(FieldValue value) const {
  TDateTime d = value.AsDateTime();
  if (!std::isfinite(d) || d < kFirstDay || d >= kPastLastDay) {
    throw EConvertError("date-time out of range");
  }
  return FieldValue::DateTime(Normalize(d));
}

bool TDateTimeField::IsOwnKind(const FieldValue& value) const {
  if (value.kind() != FieldValue::Kind::DateTime) return false;
  TDateTime d = value.real();
  return d >= kFirstDay && d < kPastLastDay && Normalize(d) == d;
}

}  // namespace tabulix
