#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/core/FieldGrid.h"

namespace tabulix::app {

inline constexpr const char* kForbiddenDatabaseMessage =
    "E R R O R - THIS IS NOT ALLOWED! WRONG DATABASE-NAME!";

// The text without the blanks and control characters at both ends.
std::string TrimBlanks(std::string_view text);

// Whether an import into this database must be refused: the name is empty or, letters a to z
// taken as capitals and blanks and control characters at both ends removed, "MYSQL" (the
// server's own catalogue). So "mysql", "MySql " and "   " are refused, "mysql2" is not.
bool IsForbiddenDatabaseName(std::string_view typed);

// The target column names for the first n rows of the field grid: the field names, except
// that a name the server takes for an earlier one (column names compare ignoring letter case,
// also of umlauts, Greek and Cyrillic letters, but not accents) gets the first free suffix
// "_2", "_3", ... The names that were unique stay as they are.
std::vector<std::string> TargetColumnNames(const std::vector<FieldGridRow>& rows, std::size_t n);

// The key under which the server compares column names: every Latin, Greek and Cyrillic letter
// as its capital (Unicode case pairs, whatever the process locale); other characters, and
// bytes that are no UTF-8, stay as they are.
std::string ColumnNameKey(std::string_view name);

// The CREATE TABLE text for the first n rows of the field grid: "create table if not exists "
// + table + "(" + one "name type" per row, separated by "," + ", PRIMARY KEY (...)" for the
// rows marked "KEY" + ")". Column names are those of TargetColumnNames, written through the
// name helper of the SQL layer (plain names stay as they are, others go in backticks); the
// table name stands as given. A row without column type contributes its name and a blank, and
// the server refuses the statement; with n = 0 the text ends "table)".
std::string BuildTableDefinition(std::string_view table, const std::vector<FieldGridRow>& rows,
                                 std::size_t n);

}  // namespace tabulix::app
