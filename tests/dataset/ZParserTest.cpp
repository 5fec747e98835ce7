#include "dataset/ZParser.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "framework/DateTime.h"

namespace tabulix {
namespace {

using Bindings = std::vector<std::pair<std::string, FieldValue>>;

// One expression, its bindings, and either the value it gives or the error it raises.
struct Case {
  std::string expression;
  Bindings bindings;
  std::optional<FieldValue> value;
  std::string error;  // the whole message; the position is checked against its tail
};

Case Gives(std::string expression, FieldValue value, Bindings bindings = {}) {
  return {std::move(expression), std::move(bindings), std::move(value), {}};
}
Case Fails(std::string expression, std::string error, Bindings bindings = {}) {
  return {std::move(expression), std::move(bindings), std::nullopt, std::move(error)};
}

std::string Show(const FieldValue& v) {
  return std::string(FieldValue::KindName(v.kind())) + " " + v.AsText();
}

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expression);
    TZParser parser;
    try {
      parser.SetEquation(c.expression);
      for (const auto& [name, value] : c.bindings) parser.SetVariable(name, value);
      FieldValue result = parser.Evaluate();
      if (c.value) {
        EXPECT_TRUE(result == *c.value) << Show(result) << " instead of " << Show(*c.value);
      } else {
        ADD_FAILURE() << "gave " << Show(result) << " instead of: " << c.error;
      }
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message(), c.error);
      EXPECT_EQ(e.Expression(), c.expression);
      EXPECT_TRUE(c.error.ends_with(" at position " + std::to_string(e.Position())));
    }
  }
}

const FieldValue kTrue = FieldValue::Boolean(true);
const FieldValue kFalse = FieldValue::Boolean(false);
const FieldValue kNull = FieldValue::Null();
FieldValue Int(std::int32_t v) {
  return FieldValue::Integer(v);
}
FieldValue Text(std::string v) {
  return FieldValue::Bytes(std::move(v));
}
FieldValue Money(std::int64_t scaled) {
  return FieldValue::FromCurrency(Currency{scaled});
}
FieldValue Date(int y, int m, int d) {
  return FieldValue::DateTime(EncodeDate(y, m, d));
}

TEST(ZParser, ArithmeticKeepsKindsAndNeverWraps) {
  const Bindings price{{"Price", Money(11000)}};  // 1.10
  RunCases({
      Gives("1 + 2 * 3", Int(7)),
      Gives("(1 + 2) * 3 - -1", Int(10)),
      Gives("7 / 2", FieldValue::Double(3.5)),
      Gives("1.5e3 - 0.25", FieldValue::Double(1499.75)),
      Gives("2147483647 + 1", FieldValue::Largeint(2147483648LL)),
      Gives("-2147483648", FieldValue::Largeint(-2147483648LL)),
      Fails("9223372036854775807 + 1", "Numeric overflow in '+' at position 21"),
      Fails("3037000500 * 3037000500", "Numeric overflow in '*' at position 12"),
      Fails("99999999999999999999", "Number out of range at position 1"),
      Fails("1 / (a - a)", "Division by zero at position 3", {{"a", Int(3)}}),
      Fails("EXP(1000)", "Numeric overflow in 'EXP' at position 1"),
      // Money stays exact in ten-thousandths unless a Double joins in.
      Gives("Price * 3 + 1", Money(43000), price),
      Gives("price - 1.1", FieldValue::Double(0.0), price),
      Gives("Price * Price", FieldValue::Double(1.1 * 1.1), price),
      Fails("Price * 1000000000000000", "Numeric overflow in '*' at position 7", price),
      // Texts join with +; a backslash is just a character, a doubled quote stands for one.
      Gives("'O''Neil' + \" \"\"x\"\"\" + 'C:\\data'", Text("O'Neil \"x\"C:\\data")),
      Fails("a + 1", "Type mismatch in '+': String and Integer at position 3", {{"a", Text("5")}}),
      Fails("TRUE * 2", "Type mismatch in '*': Boolean and Integer at position 6"),
      Fails("-'x'", "Type mismatch in '-': String at position 1"),
      // Dates count days.
      Gives("born + 1", Date(1970, 5, 2), {{"born", Date(1970, 5, 1)}}),
      Gives("2 + born - born", FieldValue::Double(2.0), {{"born", Date(1970, 5, 1)}}),
      Fails("born * 2", "Type mismatch in '*': Date and Integer at position 6",
            {{"born", Date(1970, 5, 1)}}),
      Gives("a + 1", kNull),
      Gives("-a * 2", kNull, {{"a", FieldValue()}}),
  });
}

TEST(ZParser, ComparisonsAndThreeValuedLogic) {
  const Bindings born{{"born", FieldValue::DateTime(EncodeDate(1970, 5, 1) + 0.5)}};
  RunCases({
      Gives("1 < 2", kTrue),
      Gives("2 <= 1.5", kFalse),
      Gives("2 < 2 OR 2 > 2 OR NOT 2 <= 2 OR NOT 2 >= 2 OR 2 <> 2", kFalse),
      Gives("x = 2147483648", kTrue, {{"x", FieldValue::Largeint(2147483648LL)}}),
      Gives("9007199254740993 > 9007199254740992.0", kTrue),
      Gives("p = 1.1 AND p > 1 AND p < 922337203685478", kTrue, {{"p", Money(11000)}}),
      Gives("'abc' < 'abd' AND 'a' <> 'A' AND 'x' != 'y'", kTrue),
      Gives("'\xC4' > 'Z'", kTrue),  // bytes compare unsigned
      Gives("born > '1970-05-01' AND born < '1970-05-01 12:00:01'", kTrue, born),
      Gives("born = born + 0", kTrue, born),
      Gives("NOW() > '2020-01-01' AND NOW() < '2200-01-01'", kTrue),
      Fails("born < 'soon'", "'soon' is not a date-time at position 6", born),
      Fails("born = 1", "Type mismatch in '=': Date and Integer at position 6", born),
      Fails("1 = TRUE", "Type mismatch in '=': Integer and Boolean at position 3"),
      Fails("'5' > 4", "Type mismatch in '>': String and Integer at position 5"),
      Gives("a = 1", kNull),
      Gives("a = a", kNull, {{"A", kNull}}),
      Gives("a IS NULL AND b IS NOT NULL", kTrue, {{"b", Int(0)}}),
      Gives("a + 1 IS NULL", kTrue),
      Gives("FALSE AND a > 0", kFalse),
      Gives("a > 0 AND FALSE", kFalse),
      Gives("a > 0 OR TRUE", kTrue),
      Gives("NULL AND TRUE", kNull),
      Gives("NULL OR FALSE", kNull),
      Gives("NOT NULL", kNull),
      Gives("NOT 1 = 2 AND NOT FALSE", kTrue),
      Gives("TRUE OR 1 / 0 = 1", kTrue),  // the right side is not evaluated
      Gives("FALSE AND 1 / 0 = 1", kFalse),
      Fails("FALSE OR 1 / 0 = 1", "Division by zero at position 12"),
      Fails("a > 0 AND 1", "Type mismatch in 'AND': Integer at position 7", {{"a", Int(1)}}),
      Fails("NOT 'x'", "Type mismatch in 'NOT': String at position 1"),
      Gives("'M\xFCller' LIKE 'M%r' AND 'abc' LIKE 'a_c' AND 'abc' NOT LIKE '%b'", kTrue),
      Gives("'aXbXc' LIKE '%X%X_' AND '%' LIKE '%' AND '' LIKE '%'", kTrue),
      Gives("'abc' LIKE 'a%%d' OR 'ab' LIKE 'a_c'", kFalse),
      Gives("a LIKE 'x%'", kNull),
      Fails("1 LIKE '1'", "Type mismatch in 'LIKE': Integer and String at position 3"),
  });
}

TEST(ZParser, Functions) {
  RunCases({
      Gives("IIF(a > 0, 'pos', 'neg')", Text("neg"), {{"a", Int(-1)}}),
      Gives("IIF(a > 0, 'pos', 'neg')", Text("neg")),
      Gives("iif(TRUE, 1, 1 / 0)", Int(1)),
      Fails("IIF(1, 2, 3)", "Type mismatch in 'IIF': Integer at position 1"),
      Gives("INLIST(c, 'A', 'B')", kTrue, {{"c", Text("B")}}),
      Gives("INLIST(c, 'A', 'B')", kFalse, {{"c", Text("Z")}}),
      Gives("INLIST(c, NULL, 'A')", kNull, {{"c", Text("Z")}}),
      Gives("INLIST(c, NULL, 'Z')", kTrue, {{"c", Text("Z")}}),
      Gives("INLIST(2, 1.5, 2.0)", kTrue),
      Fails("INLIST(2, 'x')", "Type mismatch in 'INLIST': Integer and String at position 1"),
      Gives("BETWEEN(n, 1, 10)", kTrue, {{"n", Int(10)}}),
      Gives("BETWEEN(n, 1, 10)", kFalse, {{"n", Int(11)}}),
      Gives("BETWEEN(n, NULL, 10)", kFalse, {{"n", Int(11)}}),
      Gives("BETWEEN(n, NULL, 10)", kNull, {{"n", Int(5)}}),
      Gives("MAX(1, 2.5, 2)", FieldValue::Double(2.5)),
      Gives("MIN('b', 'a', 'c')", Text("a")),
      Gives("MIN(3, b)", kNull),
      Gives("SUM(1, 2, p)", Money(41000), {{"p", Money(11000)}}),
      Fails("SUM(1, 'x')", "Type mismatch in 'SUM': String at position 1"),
      Gives("ABS(-5) + ABS(x)", Money(75000), {{"x", Money(-25000)}}),
      Gives("ABS(-2147483648)", FieldValue::Largeint(2147483648LL)),
      Gives("SQRT(16) + SIN(0) + TAN(0) + COS(0) + EXP(0) + LN(1)", FieldValue::Double(6.0)),
      Fails("LN(0)", "LN needs a value above zero at position 1"),
      Fails("1 + SQRT(-1)", "SQRT needs a value not below zero at position 5"),
      Fails("COS('x')", "Type mismatch in 'COS': String at position 1"),
      Gives("SIN(x)", kNull),
      Fails("now(1)", "NOW takes no arguments at position 1"),
      Fails("IIF(1, 2)", "IIF takes 3 arguments at position 1"),
      Fails("1 + INLIST(1)", "INLIST takes at least 2 arguments at position 5"),
      Fails("Max()", "MAX takes at least 1 argument at position 1"),
      Fails("FOO(1)", "Unknown function 'FOO' at position 1"),
  });
}

TEST(ZParser, NamesAndSyntaxErrors) {
  RunCases({
      Gives("[Order No] + `Net $` + Stra\xDF"
            "e",
            Int(6),
            {{"order no", Int(1)},
             {"NET $", Int(2)},
             {"STRA\xDF"
              "E",
              Int(3)}}),
      Gives("[a]]b] + Cust#", Int(3), {{"a]b", Int(1)}, {"cust#", Int(2)}}),
      Gives("sum + [NOT]", Int(3), {{"Sum", Int(1)}, {"not", Int(2)}}),
      Gives("\"Name\" = 'Name'", kTrue),  // double quotes make a text, not a name
      Fails("(1 + 2", "Expected ')' at position 7"),
      Fails("1 +", "Unexpected end of expression at position 4"),
      Fails("", "No expression to evaluate at position 1"),
      Fails("1 2", "Unexpected '2' at position 3"),
      Fails("1 < 2 < 3", "Unexpected '<' at position 7"),
      Fails("a AND OR b", "Unexpected 'OR' at position 7"),
      Fails("a IS 1", "Expected NULL at position 6"),
      Fails("MIN(1 2)", "Expected ',' or ')' at position 7"),
      Fails("a # b", "Unexpected character '#' at position 3"),
      Fails("a ! b", "Unexpected character '!' at position 3"),
      Fails("a\x01", "Unexpected character byte 0x01 at position 2"),
      Fails("'abc", "Unterminated text at position 1"),
      Fails("x = 'it''s", "Unterminated text at position 5"),
      Fails("[abc", "Unterminated name at position 1"),
      Fails("[] = 1", "Empty name at position 1"),
      Fails("12ab", "Malformed number '12ab' at position 1"),
      Fails("1.2.3", "Malformed number '1.2.3' at position 1"),
      Fails("1e", "Malformed number '1e' at position 1"),
      Fails("3. + 1", "Digits expected after the decimal point at position 2"),
      Fails(std::string(300, '(') + "1" + std::string(300, ')'),
            "Expression nested too deeply at position 201"),
      Fails(std::string(300, '-') + "1", "Expression nested too deeply at position 201"),
      Fails("1" + std::string(1000, '+') + "1", "Unexpected '+' at position 3"),
  });
}

TEST(ZParser, LongChainsAreRefusedNotOverflowingTheStack) {
  std::string chain = "1";
  for (int i = 0; i < 20000; ++i) chain += "+1";
  TZParser parser;
  try {
    parser.SetEquation(chain);
    ADD_FAILURE() << "accepted a chain of 20000 additions";
  } catch (const EParserError& e) {
    EXPECT_EQ(e.Message(),
              "Expression nested too deeply at position " + std::to_string(e.Position()));
  }
  // A flat argument list of any length is fine.
  std::string list = "INLIST(x";
  for (int i = 0; i < 5000; ++i) list += ", " + std::to_string(i);
  parser.SetEquation(list + ")");
  parser.SetVariable("x", FieldValue::Integer(4999));
  EXPECT_EQ(parser.Evaluate(), FieldValue::Boolean(true));
}

TEST(ZParser, VariablesBindingsAndFailedSetEquation) {
  TZParser parser;
  parser.SetEquation("b + [A b] * B - c + IIF(x, Sum, 1) + sum");
  EXPECT_EQ(parser.Variables(), (std::vector<std::string>{"b", "A b", "c", "x", "Sum"}));

  parser.SetVariable("B", FieldValue::Integer(2));
  parser.SetVariable("a B", FieldValue::Integer(3));
  parser.SetVariable("C", FieldValue::Integer(1));
  parser.SetVariable("X", FieldValue::Boolean(true));
  parser.SetVariable("SUM", FieldValue::Integer(10));
  EXPECT_EQ(parser.Evaluate(), FieldValue::Integer(2 + 3 * 2 - 1 + 10 + 10));

  // A failed SetEquation keeps the previous expression; bindings survive a new expression.
  EXPECT_THROW(parser.SetEquation("b +"), EParserError);
  EXPECT_EQ(parser.Equation(), "b + [A b] * B - c + IIF(x, Sum, 1) + sum");
  parser.SetEquation("b * c");
  EXPECT_EQ(parser.Variables(), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(parser.Evaluate(), FieldValue::Integer(2));
  parser.ClearVariables();
  EXPECT_EQ(parser.Evaluate(), FieldValue::Null());

  parser.SetEquation("  ");
  EXPECT_TRUE(parser.Variables().empty());
  EXPECT_THROW(parser.Evaluate(), EParserError);
}

}  // namespace
}  // namespace tabulix
