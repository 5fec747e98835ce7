#pragma once

#include <cstdint>

#include "app/core/OutputBuffer.h"

namespace tabulix {
class TDataSet;
}

namespace tabulix::app {

enum class DumpFormat { JsonLines, Csv };

// Writes every record of an open table, from the first, as its fields hand the values over:
// one JSON object per line with the field names as keys in field order, or RFC 4180 CSV with
// a header line (CR LF line ends; a null value is an empty field). Gives the record count.
// When a record fails, the records before it are written and nothing of it.
std::int64_t DumpTable(TDataSet& table, DumpFormat format, OutputBuffer& out);

}  // namespace tabulix::app
