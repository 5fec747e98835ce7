#pragma once

#include <cmath>

#include "framework/DateTime.h"
#include "framework/fields/TDateTimeField.h"

namespace tabulix {

// Date field: the time of day is dropped.
class TDateField : public TDateTimeField {
 public:
  TDateField() : TDateTimeField(ftDate) {}

 protected:
  // What the general test gives, without the virtual Normalize: only whole days are kept
  // as they are.
  bool IsOwnKind(const FieldValue& value) const override {
    if (value.kind() != FieldValue::Kind::DateTime) return false;
    TDateTime d = value.real();
    return d >= kFirstDay && d < kPastLastDay && d == std::trunc(d);
  }
  TDateTime Normalize(TDateTime value) const override {
    if (value == std::trunc(value)) return value;  // already a whole day
    return DayNumberToDateTime(DateTimeToDayNumber(value), 0);
  }
};

}  // namespace tabulix
