#pragma once

#include "framework/fields/TBCDField.h"

namespace tabulix {

// The dataset's field for exact decimal columns (scale up to 4, precision up to 19): its value
// is the exact amount in ten-thousandths, written to the server as a decimal literal. Size is
// the column's scale, Precision its number of digits. A value with more decimals than the
// column keeps, or more whole digits than it has room for, does not convert ("Ungültiger Wert
// für Feld '%s'"): the server would round or refuse it.
class TZBCDField : public TBCDField {
 public:
  explicit TZBCDField(int decimals = 4) : TBCDField(decimals) {}

  // 0 while unknown: then only the scale is checked.
  int Precision() const { return precision_; }
  void SetPrecision(int precision) { precision_ = precision; }

 protected:
  FieldValue ConvertValue(FieldValue value) const override;

 private:
  int precision_ = 0;
};

}  // namespace tabulix
