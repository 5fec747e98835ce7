#pragma once

#include <string>
#include <vector>

#include "dataset/internal/ExprNode.h"

namespace tabulix::dataset_internal {

// Parses an expression into a tree; raises EParserError naming the position where it does not
// parse. The names of the variables it uses are appended to variables (once each, ignoring
// case), and variable nodes refer to them by index.
ExprNodePtr ParseExpression(const std::string& expression, std::vector<std::string>& variables);

}  // namespace tabulix::dataset_internal
