#pragma once

#include <string>

#include "framework/FieldType.h"

namespace tabulix {

// What a dataset knows of one column before field objects exist.
struct TFieldDef {
  std::string Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;       // characters for strings, bytes for bytes, decimals for BCD
  int Precision = 0;  // digits after the point where the column has them
  bool Required = false;
  bool ReadOnly = false;
  int FieldNo = 0;  // 1-based column number in the record
};

}  // namespace tabulix
