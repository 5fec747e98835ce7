#pragma once

#include <string_view>

#include "framework/FieldType.h"

// The mappings that decide the field types of MySQL columns. Pure functions.
namespace tabulix {

// The field type of a result column from the client library's type code and column flags.
// Text and binary large objects are told apart by the binary flag (128).
TFieldType MySqlFieldType(int typeCode, unsigned flags);

// The field type, size and scale of a column type text as "SHOW COLUMNS" writes it, such as
// "varchar(255)", "decimal(10,2)" or "enum('Y','N')". Size and scale are 0 unless the type
// gives them; an unknown type gives ftUnknown.
TFieldType MySqlTypeNameToFieldType(std::string_view typeName, int& size, int& scale);

// The length of the longest value of an enum type text ("enum('yes','no')" gives 3).
int EnumMaxLength(std::string_view typeName);

}  // namespace tabulix
