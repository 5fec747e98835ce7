#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/FieldValue.h"

namespace tabulix::dataset_internal {

enum class ExprOp : std::uint8_t {
  Literal,
  Variable,
  Negate,
  Not,
  Add,
  Subtract,
  Multiply,
  Divide,
  Equal,
  NotEqual,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  Like,
  NotLike,
  IsNull,
  IsNotNull,
  And,
  Or,
  Call,
};

enum class ExprFunction : std::uint8_t {
  Now,
  Iif,
  Min,
  Max,
  Sum,
  InList,
  Between,
  Sin,
  Cos,
  Tan,
  Exp,
  Ln,
  Abs,
  Sqrt,
};

// One node of a parsed expression. Operators keep their operands in args; a call keeps its
// arguments there. The position (1-based) is that of the operator, literal, name or function
// name, so evaluation errors can point at it.
struct ExprNode {
  ExprOp op = ExprOp::Literal;
  int position = 0;
  int depth = 1;                              // height of the subtree, bounded by the parser
  FieldValue value;                           // Literal
  int variable = -1;                          // Variable: index into the parser's variable list
  ExprFunction function = ExprFunction::Now;  // Call
  std::vector<std::unique_ptr<const ExprNode>> args;
};

using ExprNodePtr = std::unique_ptr<const ExprNode>;

struct ExprFunctionInfo {
  ExprFunction function;
  std::string_view name;  // upper case; calls match it ignoring case
  int minArgs;
  int maxArgs;  // -1: no upper limit
};

const ExprFunctionInfo& FunctionInfo(ExprFunction function);
const ExprFunctionInfo* FindFunction(std::string_view name);  // nullptr when unknown
// "IIF takes 3 arguments", for a call with a wrong number of arguments.
std::string ArityText(const ExprFunctionInfo& function);
// The operator as written, for messages.
std::string_view ExprOpText(ExprOp op);

}  // namespace tabulix::dataset_internal
