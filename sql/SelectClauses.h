#pragma once

#include <string>
#include <string_view>

#include "framework/SharedEnums.h"
#include "framework/StringList.h"

// Taking a SELECT statement apart and putting a filter and an ordering into it, at the level
// of whole tokens (see SqlClauseTokens.h). Positions are 1-based indexes into the statement.
namespace tabulix {

// The field list and the table list of a SELECT, each possibly ending in one space; false
// (and both empty) when the statement is not a SELECT.
bool SplitSelect(std::string_view statement, ServerKind dialect, std::string& fields,
                 std::string& tables);

// Where the clauses of a SELECT are. listPos: just after the select modifiers. wherePos and
// orderPos: positive where the existing WHERE condition or ORDER BY list ends, negative where
// the missing clause is to be inserted, 0 when it goes to the end. conditionStart: where the
// existing WHERE condition begins. False (all 0) when the statement is not a SELECT.
bool LocateSelectClauses(std::string_view statement, ServerKind dialect, int& listPos,
                         int& orderPos, int& wherePos, int& conditionStart);

// The statement with filter joined to its condition (or as a new WHERE clause) and order
// appended to its ordering (or as a new ORDER BY clause), at the positions that
// LocateSelectClauses found.
void AddWhereAndOrder(std::string_view statement, std::string_view filter, std::string_view order,
                      std::string& result, int orderPos, int wherePos, int conditionStart);

// The tables of a table list with their aliases (the name where there is none), each pair
// once, in order of appearance.
void ExtractTables(std::string_view tableText, StringList& names, StringList& aliases);

// The name without enclosing quotes and square brackets.
std::string CleanTableName(std::string_view name);

}  // namespace tabulix
