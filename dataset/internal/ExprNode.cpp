#include "dataset/internal/ExprNode.h"

#include <array>

#include "framework/AsciiCase.h"

namespace tabulix::dataset_internal {

namespace {

constexpr std::array<ExprFunctionInfo, 14> kFunctions = {{
    {ExprFunction::Now, "NOW", 0, 0},
    {ExprFunction::Iif, "IIF", 3, 3},
    {ExprFunction::Min, "MIN", 1, -1},
    {ExprFunction::Max, "MAX", 1, -1},
    {ExprFunction::Sum, "SUM", 1, -1},
    {ExprFunction::InList, "INLIST", 2, -1},
    {ExprFunction::Between, "BETWEEN", 3, 3},
    {ExprFunction::Sin, "SIN", 1, 1},
    {ExprFunction::Cos, "COS", 1, 1},
    {ExprFunction::Tan, "TAN", 1, 1},
    {ExprFunction::Exp, "EXP", 1, 1},
    {ExprFunction::Ln, "LN", 1, 1},
    {ExprFunction::Abs, "ABS", 1, 1},
    {ExprFunction::Sqrt, "SQRT", 1, 1},
}};

constexpr bool FunctionsInOrder() {
  for (std::size_t i = 0; i < kFunctions.size(); ++i) {
    if (static_cast<std::size_t>(kFunctions[i].function) != i) return false;
  }
  return true;
}
static_assert(FunctionsInOrder(), "one row per function, in enumeration order");

}  // namespace

const ExprFunctionInfo& FunctionInfo(ExprFunction function) {
  return kFunctions[static_cast<std::size_t>(function)];
}

const ExprFunctionInfo* FindFunction(std::string_view name) {
  for (const ExprFunctionInfo& row : kFunctions) {
    if (EqualsIgnoreCase(row.name, name)) return &row;
  }
  return nullptr;
}

std::string ArityText(const ExprFunctionInfo& row) {
  std::string name(row.name);
  if (row.maxArgs == 0) return name + " takes no arguments";
  std::string count = std::to_string(row.minArgs) + (row.minArgs == 1 ? " argument" : " arguments");
  if (row.maxArgs < 0) return name + " takes at least " + count;
  return name + " takes " + count;
}

std::string_view ExprOpText(ExprOp op) {
  switch (op) {
    case ExprOp::Negate:
    case ExprOp::Subtract:
      return "-";
    case ExprOp::Not:
      return "NOT";
    case ExprOp::Add:
      return "+";
    case ExprOp::Multiply:
      return "*";
    case ExprOp::Divide:
      return "/";
    case ExprOp::Equal:
      return "=";
    case ExprOp::NotEqual:
      return "<>";
    case ExprOp::Less:
      return "<";
    case ExprOp::LessEqual:
      return "<=";
    case ExprOp::Greater:
      return ">";
    case ExprOp::GreaterEqual:
      return ">=";
    case ExprOp::Like:
      return "LIKE";
    case ExprOp::NotLike:
      return "NOT LIKE";
    case ExprOp::And:
      return "AND";
    case ExprOp::Or:
      return "OR";
    default:
      return "?";
  }
}

}  // namespace tabulix::dataset_internal
