#pragma once

#include <string>

#include "framework/FieldType.h"
#include "framework/TField.h"

namespace tabulix {

// What the record layout needs of one field object of the dataset.
struct TBufferField {
  TField* Field = nullptr;  // the field object; a null one is an internal error
  std::string FieldName;
  TFieldType DataType = ftUnknown;
  int Size = 0;     // declared size (characters for strings)
  int FieldNo = 0;  // 1-based; 0 or less for a field without result column
  bool Required = false;
  bool ReadOnly = false;
};

// The layout's view of a bound field object.
inline TBufferField BufferFieldOf(TField& field) {
  return TBufferField{&field,          field.FieldName(), field.DataType(), field.Size(),
                      field.FieldNo(), field.Required(),  field.ReadOnly()};
}

}  // namespace tabulix
