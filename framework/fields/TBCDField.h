#pragma once

#include "framework/TField.h"

namespace tabulix {

// Binary-coded decimal field; its values travel as currency (four decimals). Size is the
// number of decimals the column declares.
class TBCDField : public TField {
 public:
  explicit TBCDField(int decimals = 4) : TField(ftBCD, decimals) {}

 protected:
  bool IsOwnKind(const FieldValue& value) const override {
    return value.kind() == FieldValue::Kind::Currency;
  }
  FieldValue ConvertValue(FieldValue value) const override {
    if (value.kind() == FieldValue::Kind::Currency) return value;
    return FieldValue::FromCurrency(value.AsCurrency());
  }
};

}  // namespace tabulix
