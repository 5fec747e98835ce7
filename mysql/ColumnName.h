#pragma once

#include <string>
#include <string_view>

namespace tabulix {

// Column names as statements write them. Source tables bring names such as "Species No",
// "Invoice #" or "Order" that the server reads as something else unless they are quoted.

// True when the server refuses the word as a bare column name (ORDER, GROUP, KEY, DESC,
// VALUES; not NAME, DATE or ID); letter case is ignored.
bool IsReservedWord(std::string_view word);

// The name unchanged when it begins with an ASCII letter or "_", goes on with ASCII letters,
// digits, "_" and "$", and is not a reserved word; otherwise in backticks, with every backtick
// inside doubled. So "1e5" and "0x1F", which the server would read as numbers, are quoted, and
// the statements of tables with plain names read as they always did.
std::string QuoteColumnName(std::string_view name);

}  // namespace tabulix
