#pragma once

#include <string>
#include <vector>

#include "dataset/internal/ExprNode.h"
#include "framework/FieldValue.h"

namespace tabulix::dataset_internal {

// Evaluates a parsed tree; values holds the value of each variable by index (nullptr for an
// unbound one). Raises EParserError at the position of the failing operator or function.
FieldValue EvaluateExpression(const ExprNode& root, const std::string& expression,
                              const std::vector<const FieldValue*>& values);

}  // namespace tabulix::dataset_internal
