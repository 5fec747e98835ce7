#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dataset/ParserError.h"
#include "framework/FieldValue.h"

namespace tabulix {

namespace dataset_internal {
struct ExprNode;
}

// The evaluator for record and field constraints. An expression is parsed once into a small
// tree by SetEquation and evaluated against the bound variables on every Evaluate.
//
// The language (keywords and function names ignore letter case):
//  - numbers: 12 (Integer, or Int64 when it does not fit), 12.5 and 1.5e3 (Double);
//  - texts in single or double quotes; a doubled quote inside stands for one, and a backslash
//    is an ordinary character, so 'C:\data' and 'O''Neil' are written as they read;
//  - TRUE, FALSE, NULL;
//  - variables: identifiers (letters, digits, _, bytes above 127, and # or $ after the first
//    character), or any name in square brackets or backticks, such as [Order No] or `Net $`,
//    with the closing bracket or backtick doubled inside. A double-quoted text is always a
//    text, never a name. Keywords are never variables unless bracketed; a function name is a
//    variable unless "(" follows it;
//  - operators by rising precedence: OR; AND; NOT; comparisons = <> != < <= > >=, [NOT] LIKE
//    and IS [NOT] NULL (one per operand, not chained); + and -; * and /; unary -;
//  - functions: NOW(), IIF(cond, a, b), MIN(...), MAX(...), SUM(...), INLIST(x, a, ...),
//    BETWEEN(x, lo, hi), SIN, COS, TAN, EXP, LN, ABS, SQRT (one argument each).
//
// Values: comparisons and logic give a Boolean value. Integers stay exact (an overflow is an
// error, never a wrap), money amounts (Currency) keep their four decimals under + and - and
// under * with an integer, "/" always gives a Double, and a Double anywhere gives a Double.
// "+" also joins two texts. A date-time plus or minus a number of days is a date-time, the
// difference of two date-times a number of days. Texts compare byte by byte; a text compared
// with a date-time is read as "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS". Everything else that
// mixes kinds (a text and a number, a Boolean in arithmetic) is an error, not a conversion.
// LIKE matches texts byte by byte, "%" any run of bytes, "_" exactly one byte.
//
// Null: an unbound variable, or one bound to an empty or null value, is null. Arithmetic,
// comparisons, LIKE and the functions give null when an operand is null (MIN, MAX and SUM
// when any argument is). AND and OR follow three-valued logic (FALSE AND NULL is FALSE,
// TRUE OR NULL is TRUE) and skip their right side when the left decides. IIF takes the third
// argument when the condition is null; INLIST is null when nothing matches and an entry is
// null. A constraint holds only when the result is TRUE, so a null result fails it.
class TZParser {
 public:
  TZParser();
  ~TZParser();
  TZParser(TZParser&&) noexcept;
  TZParser& operator=(TZParser&&) noexcept;
  TZParser(const TZParser&) = delete;
  TZParser& operator=(const TZParser&) = delete;

  // Sets the expression; raises EParserError (message naming the position) when it does not
  // parse, and then keeps the previous expression. A blank text clears the expression.
  // Bound variables are kept.
  void SetEquation(const std::string& expression);
  const std::string& Equation() const { return equation_; }
  // The names of the variables the expression uses, in order of first appearance, as written
  // (without brackets), each once ignoring letter case.
  const std::vector<std::string>& Variables() const { return variables_; }

  // Binds a variable (matched ignoring ASCII letter case); unbound variables evaluate as null.
  void SetVariable(const std::string& name, const FieldValue& value);
  void ClearVariables() { bindings_.clear(); }

  // Evaluates with the bound values. Comparisons and logic give a boolean FieldValue; a null
  // result is returned as a null value. Raises EParserError for a division by zero, a type
  // mismatch, an overflow or a function argument out of range, and when no expression is set.
  FieldValue Evaluate();

 private:
  std::string equation_;
  std::vector<std::string> variables_;
  std::vector<std::string> variableKeys_;  // upper-case names, parallel to variables_
  std::unique_ptr<const dataset_internal::ExprNode> root_;
  std::map<std::string, FieldValue> bindings_;  // by upper-case name
};

}  // namespace tabulix
