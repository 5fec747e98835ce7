#pragma once

#include "app/core/OutputBuffer.h"

namespace tabulix {
class TDataSet;
}

namespace tabulix::app {

// Writes the field grid of an open table: the header line and one line per field with the
// five cells separated by tabs, then "Records: N" and "Fields: N".
void WriteInspection(TDataSet& table, OutputBuffer& out);

}  // namespace tabulix::app
