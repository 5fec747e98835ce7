#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tabulix::source::dbase {

// The file beside a table with the same base name and the given extension (".dbt", ".fpt",
// ".cpg"), looked up regardless of letter case; nullopt when there is none.
std::optional<std::string> FindCompanionFile(const std::string& tablePath,
                                             std::string_view extension);

// The name such a file would have beside the table, for messages ("NAME.dbt").
std::string CompanionFileName(const std::string& tablePath, std::string_view extension);

}  // namespace tabulix::source::dbase
