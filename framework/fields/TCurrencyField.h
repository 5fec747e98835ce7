#pragma once

#include "framework/fields/TFloatField.h"

namespace tabulix {

// Money amount held as a double, like the floating field it derives from.
class TCurrencyField : public TFloatField {
 public:
  TCurrencyField() : TFloatField(ftCurrency) {}
};

}  // namespace tabulix
