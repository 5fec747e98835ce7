#pragma once

#include <array>
#include <string>
#include <vector>

namespace tabulix {
class TDataSet;
}

namespace tabulix::app {

// One row of the field grid: name, type name, length, MySQL column type, key mark.
using FieldGridRow = std::array<std::string, 5>;

inline constexpr std::array<const char*, 5> kFieldGridHeaders = {"Name", "Type", "Length",
                                                                 "mySQL-Type", "mySQL-KEY"};

// The grid rows for the fields of an open table, in field order: the type name of each
// field, the declared length of character fields (when not 0), "KEY" for auto-increment
// fields, and the MySQL column type chosen from the type name and length.
std::vector<FieldGridRow> BuildFieldGrid(const TDataSet& table);

}  // namespace tabulix::app
