#include "dataset/ZBCDField.h"

#include "framework/Exceptions.h"

namespace tabulix {

FieldValue TZBCDField::ConvertValue(FieldValue value) const {
  FieldValue amount = TBCDField::ConvertValue(std::move(value));
  constexpr int kScale = 4;  // digits of the ten-thousandths
  const int decimals = Size() < 0 ? 0 : (Size() > kScale ? kScale : Size());
  std::int64_t dropped = 1;  // 10^(4 - decimals): the part the column does not keep
  for (int i = decimals; i < kScale; ++i) dropped *= 10;
  const std::int64_t scaled = amount.integer();
  if (scaled % dropped != 0) throw EConvertError("more decimals than the column keeps");
  const int whole = precision_ - decimals;
  if (precision_ > 0 && whole < 19) {
    std::int64_t limit = 1;  // 10^whole whole units, in ten-thousandths
    for (int i = 0; i < whole; ++i) limit *= 10;
    const std::int64_t units = scaled / Currency::kScale;
    if (units >= limit || units <= -limit) throw EConvertError("too many digits for the column");
  }
  return amount;
}

}  // namespace tabulix
