#pragma once

#include "framework/DateTime.h"
#include "framework/fields/TDateTimeField.h"

namespace tabulix {

// Time field: only the time of day is kept, on day 0.
class TTimeField : public TDateTimeField {
 public:
  TTimeField() : TDateTimeField(ftTime) {}

 protected:
  TDateTime Normalize(TDateTime value) const override {
    return DateTimeToMsOfDay(value) / 86400000.0;
  }
};

}  // namespace tabulix
