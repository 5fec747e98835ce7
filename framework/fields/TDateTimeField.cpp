#include "framework/fields/TDateTimeField.h"

#include <cmath>

#include "framework/Exceptions.h"

namespace tabulix {

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
