#include "framework/fields/TFloatField.h"

#include <cmath>

#include "framework/Exceptions.h"

namespace tabulix {

FieldValue TFloatField::ConvertValue(FieldValue value) const {
  double d = value.AsDouble();
  if (!std::isfinite(d)) throw EConvertError("not a finite number");
  if (value.kind() == FieldValue::Kind::Double) return value;
  return FieldValue::Double(d);
}

}  // namespace tabulix
