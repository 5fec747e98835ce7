#include "framework/fields/TFloatField.h"

#include <cmath>

#include "framework/Exceptions.h"

namespace tabulix {

FieldValue TFloatField::ConvertValue(FieldValue value) const {
  // A double passes as it is; one made from another kind must be a number.
  if (value.kind() == FieldValue::Kind::Double) return value;
  double d = value.AsDouble();
  if (!std::isfinite(d)) throw EConvertError("not a finite number");
  return FieldValue::Double(d);
}

}  // namespace tabulix
