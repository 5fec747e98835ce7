#include "dataset/ZParser.h"

#include "dataset/internal/ExprEvaluator.h"
#include "dataset/internal/ExprNode.h"
#include "dataset/internal/ExprParser.h"
#include "framework/AsciiCase.h"

namespace tabulix {

namespace {

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

TZParser::TZParser() = default;
TZParser::~TZParser() = default;
TZParser::TZParser(TZParser&&) noexcept = default;
TZParser& TZParser::operator=(TZParser&&) noexcept = default;

void TZParser::SetEquation(const std::string& expression) {
  std::vector<std::string> variables;
  dataset_internal::ExprNodePtr root;
  if (!IsBlank(expression)) root = dataset_internal::ParseExpression(expression, variables);
  std::vector<std::string> keys;
  keys.reserve(variables.size());
  for (const std::string& name : variables) keys.push_back(UpperCase(name));
  equation_ = expression;
  variables_ = std::move(variables);
  variableKeys_ = std::move(keys);
  root_ = std::move(root);
}

void TZParser::SetVariable(const std::string& name, const FieldValue& value) {
  bindings_[UpperCase(name)] = value;
}

FieldValue TZParser::Evaluate() {
  if (!root_) throw EParserError::At("No expression to evaluate", equation_, 1);
  std::vector<const FieldValue*> values;
  values.reserve(variableKeys_.size());
  for (const std::string& key : variableKeys_) {
    auto it = bindings_.find(key);
    values.push_back(it == bindings_.end() ? nullptr : &it->second);
  }
  return dataset_internal::EvaluateExpression(*root_, equation_, values);
}

}  // namespace tabulix
