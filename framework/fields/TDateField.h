#pragma once

#include "framework/DateTime.h"
#include "framework/fields/TDateTimeField.h"

namespace tabulix {

// Date field: the time of day is dropped.
class TDateField : public TDateTimeField {
 public:
  TDateField() : TDateTimeField(ftDate) {}

 protected:
  TDateTime Normalize(TDateTime value) const override {
    return DayNumberToDateTime(DateTimeToDayNumber(value), 0);
  }
};

}  // namespace tabulix
