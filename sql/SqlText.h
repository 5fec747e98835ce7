#pragma once

// The text and value conversion helpers of the SQL layer: token cutting, number and
// date-time texts, string escaping and the value <-> literal conversions.
#include "sql/SqlDateText.h"
#include "sql/SqlNumberText.h"
#include "sql/SqlTokenText.h"
#include "sql/SqlValueText.h"
