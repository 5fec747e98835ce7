#pragma once

#include <string>
#include <string_view>

#include "framework/FieldType.h"
#include "framework/FieldValue.h"
#include "framework/SharedEnums.h"

// Field values to and from the text in which the server sends and receives them.
namespace tabulix {

// Backslash-escapes NUL, line feed, carriage return, Ctrl-Z, both quotes and the backslash
// for use inside a quoted MySQL string; every other byte passes unchanged.
std::string EscapeSqlString(std::string_view text);
// The same, appended to out (no temporary text for the statement builders).
void AppendEscapedSqlString(std::string& out, std::string_view text);
// "0x" and two upper-case hexadecimal digits per byte; "NULL" for no bytes.
std::string BytesToHexLiteral(std::string_view bytes);

// The value of a column text by field type. Numbers are read with a point (a comma is taken
// too), never in the locale's format. Invalid numbers give 0, except for ftBCD, which raises
// EConvertError.
FieldValue SqlTextToValue(std::string_view text, TFieldType fieldType);
// The literal text (without quotes) of a value by field type, in the server kind's form, with
// a point in every number; "NULL" for an empty or null value, the empty text when the value
// does not convert.
std::string ValueToSqlText(const FieldValue& value, TFieldType fieldType, ServerKind serverKind);

}  // namespace tabulix
