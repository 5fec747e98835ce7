#pragma once

#include "framework/TField.h"

namespace tabulix {

// Date and time of day, as a date-time (days since 30 December 1899 with the time as fraction).
// Values outside the years 1 to 9999 do not convert.
class TDateTimeField : public TField {
 public:
  TDateTimeField() : TField(ftDateTime) {}

 protected:
  explicit TDateTimeField(TFieldType dataType) : TField(dataType) {}
  FieldValue ConvertValue(FieldValue value) const override;
  bool IsOwnKind(const FieldValue& value) const override;
  // The part of the date-time the class keeps.
  virtual TDateTime Normalize(TDateTime value) const { return value; }

  // 1 January of year 1 and 1 January of year 10000 as date-times.
  static constexpr double kFirstDay = -693593.0;
  static constexpr double kPastLastDay = 2958466.0;
};

}  // namespace tabulix
