#include "framework/fields/TIntegerField.h"

#include "framework/Exceptions.h"
#include "framework/NumberText.h"

namespace tabulix {

FieldValue TIntegerField::ConvertValue(FieldValue value) const {
  std::int64_t v = value.AsLargeint();
  if (v < min_ || v > max_) {
    throw EConvertError(IntToStr(v) + " liegt außerhalb des gültigen Bereichs");
  }
  if (value.kind() == FieldValue::Kind::Integer) return value;
  return FieldValue::Integer(static_cast<std::int32_t>(v));
}

bool TIntegerField::IsOwnKind(const FieldValue& value) const {
  if (value.kind() != FieldValue::Kind::Integer) return false;
  std::int64_t v = value.integer();
  return v >= min_ && v <= max_;
}

}  // namespace tabulix
