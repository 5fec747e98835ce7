#pragma once

// The SQL statement helpers: clause-level token reading and the SELECT splitting, clause
// locating, filter and ordering insertion and table listing built on it.
#include "sql/SelectClauses.h"
#include "sql/SqlClauseTokens.h"
