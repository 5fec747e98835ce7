#pragma once

#include <string>
#include <string_view>

namespace tabulix::source::paradox {

// The iconv name of a table's text encoding: the header's code page when it names one, else a
// guess from the collation name, else the DOS code page 437 (3.x tables store neither).
std::string ParadoxTextEncoding(int codePage, std::string_view sortOrder);

// The same without the fallback: empty when neither the code page nor the collation name
// says anything.
std::string ParadoxDeclaredEncoding(int codePage, std::string_view sortOrder);

}  // namespace tabulix::source::paradox
