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
  TDateTime Normalize(TDateTime value) const override {
    if (value == std::trunc(value)) return value;  // already a whole day
    return DayNumberToDateTime(DateTimeToDayNumber(value), 0);
  }
};

}  // namespace tabulix
