#pragma once

#include <string>
#include <vector>

#include "framework/FieldType.h"
#include "source/dbase/DbaseHeader.h"

namespace tabulix::source::dbase {

// How the bytes of a field are stored.
enum class ValueKind {
  Text,             // C
  VarText,          // V (Visual FoxPro varchar)
  Numeric,          // N, F
  Date,             // D
  Logical,          // L
  MemoText,         // M
  MemoBinary,       // B (dBase), G, P, W, binary M (Visual FoxPro)
  VfpInteger,       // I (Visual FoxPro)
  Dbase7Integer,    // I, + (dBase 7)
  Dbase7Double,     // O
  Dbase7Timestamp,  // @
  VfpDateTime,      // T
  VfpCurrency,      // Y
  VfpDouble,        // B (Visual FoxPro)
  VarBinary,        // Q, or V read as raw bytes
  FixedBytes,       // C read as raw bytes: the whole field
  NullFlags,        // 0, the hidden _NullFlags column
};

// A field descriptor with the way its values are read and the field type they are given.
struct DbaseColumn {
  DbaseFieldDescriptor descriptor;
  ValueKind kind = ValueKind::Text;
  TFieldType type = ftUnknown;
  int nullBit = -1;       // bit in _NullFlags that marks a null value
  int varLengthBit = -1;  // bit in _NullFlags that marks a V or Q value shorter than the field
};

// Resolves every descriptor of the header and hands out the _NullFlags bits. Raises
// tabulix::Exception naming the table for a type letter the dialect does not know or a field
// whose size does not fit its type.
std::vector<DbaseColumn> ResolveColumns(const std::string& tablePath, const DbaseHeader& header);

// The field type of a numeric field: with decimals a float, without by its width.
TFieldType NumericFieldType(int width, int decimals);

// Makes a character or memo column deliver its stored bytes undecoded, as ftBlob; columns
// that hold bytes already stay as they are. False for any other kind of column.
bool ReadAsBinary(DbaseColumn& column);

// Whether the column's values are text in the table's code page.
bool HoldsText(const DbaseColumn& column);

}  // namespace tabulix::source::dbase
