#pragma once

#include <compare>
#include <stdexcept>
#include <string_view>

#include "dataset/internal/ExprNode.h"
#include "framework/FieldValue.h"

// The value rules of the constraint evaluator: arithmetic, comparison and the numeric
// functions on field values. Each raises ExprValueError, which the evaluator turns into an
// error at the position of the operator; a null or empty operand gives a null result.
namespace tabulix::dataset_internal {

class ExprValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Type mismatch in 'op': Integer and String" (one kind for a unary operator).
[[noreturn]] void ThrowMismatch(std::string_view op, const FieldValue& a);
[[noreturn]] void ThrowMismatch(std::string_view op, const FieldValue& a, const FieldValue& b);

// op is '+', '-', '*' or '/'.
FieldValue Arithmetic(char op, const FieldValue& a, const FieldValue& b);
FieldValue Negate(const FieldValue& a);
// Orders two values that are not null; unordered only when a Double is not a number.
// op names the operation in a mismatch message.
std::partial_ordering CompareValues(std::string_view op, const FieldValue& a, const FieldValue& b);
bool LikeMatch(std::string_view text, std::string_view pattern);

bool IsNumber(const FieldValue& a);  // Integer, Int64, Currency or Double
FieldValue Absolute(const FieldValue& a);
// SIN, COS, TAN, EXP, LN or SQRT, giving a Double; name is the function's name for messages.
FieldValue MathFunction(ExprFunction function, std::string_view name, const FieldValue& a);

}  // namespace tabulix::dataset_internal
