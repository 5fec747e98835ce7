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

}  // namespace tabulix
