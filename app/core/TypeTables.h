#pragma once

#include <string>
#include <string_view>

#include "framework/FieldType.h"

namespace tabulix::app {

// The type name shown for a source field type ("char", "32Bit-Int", ...); empty for types
// that have none.
std::string_view SourceTypeName(TFieldType type);

// The MySQL column type chosen for a type name as the field grid shows it, with the grid's
// length text for "char" (char(n), char(0) when the length is empty); empty when no column
// type applies.
std::string MySqlTypeForTypeName(std::string_view typeName, std::string_view length);

// The MySQL column type for a field type and declared size, through its type name.
std::string MySqlColumnType(TFieldType type, int size);

// "KEY" for the field types that become the target table's primary key, else empty.
std::string_view KeyMark(TFieldType type);

}  // namespace tabulix::app
