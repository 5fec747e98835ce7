#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "source/TableReader.h"
#include "source/ValueWarnings.h"

namespace tabulix::source {
class TTableBDE;
}

namespace tabulix::app {

// The lines that report the values of an open table not delivered as stored, one per field
// and problem, in field order, for example
//   SALARIO: 3 values are not numbers, read as null (first: record 12, `1,200.00`)
// with records numbered from 1 as a dump shows them and the stored bytes as text, bytes
// outside printable ASCII (and the backslash and backtick) escaped as \xNN. They cover the
// records read so far in table order: after a dump or an import, or after CountWarnings, the
// whole table. Empty for a clean table.
std::vector<std::string> WarningLines(const source::TTableBDE& table);

// One such line for a field of the given name; encoding is the table's code page and
// memoFile the name of its missing memo file, as the problem needs them.
std::string WarningLine(const source::ValueWarning& warning, std::string_view fieldName,
                        std::string_view encoding, std::string_view memoFile);

// Stored bytes as a warning shows them: printable ASCII as it stands, other bytes, the
// backslash and the backtick as \xNN; cut with "..." after ValueWarning::kStoredBytesKept.
std::string ShownBytes(std::string_view stored);

// How the inspection names the origin of a code page: "header", ".cpg file", "detected",
// "default" or "--encoding".
std::string_view EncodingOriginName(source::EncodingOrigin origin);

}  // namespace tabulix::app
