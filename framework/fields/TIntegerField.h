#pragma once

#include <cstdint>

#include "framework/TField.h"

namespace tabulix {

// 32-bit integer field. Values outside the field's range do not convert.
class TIntegerField : public TField {
 public:
  TIntegerField() : TIntegerField(ftInteger, INT32_MIN, INT32_MAX) {}

 protected:
  TIntegerField(TFieldType dataType, std::int64_t minValue, std::int64_t maxValue)
      : TField(dataType), min_(minValue), max_(maxValue) {}
  FieldValue ConvertValue(FieldValue value) const override;
  bool IsOwnKind(const FieldValue& value) const override;

 private:
  std::int64_t min_;
  std::int64_t max_;
};

}  // namespace tabulix
