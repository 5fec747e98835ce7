#pragma once

#include "app/core/OutputBuffer.h"

namespace tabulix::source {
class TTableBDE;
}

namespace tabulix::app {

// Writes the field grid of an open table: the header line and one line per field with the
// five cells separated by tabs, then "Records: N", "Fields: N" and "Code page: NAME (ORIGIN)"
// with the origin as EncodingOriginName gives it.
void WriteInspection(source::TTableBDE& table, OutputBuffer& out);

}  // namespace tabulix::app
