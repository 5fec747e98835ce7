#include "dataset/internal/ExprValues.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "framework/Exceptions.h"

namespace tabulix::dataset_internal {

namespace {

using Kind = FieldValue::Kind;

bool IsInt(const FieldValue& v) {
  return v.kind() == Kind::Integer || v.kind() == Kind::Largeint;
}

std::string KindText(const FieldValue& v) {
  return std::string(FieldValue::KindName(v.kind()));
}

[[noreturn]] void Overflow(std::string_view op) {
  throw ExprValueError("Numeric overflow in '" + std::string(op) + "'");
}

// Integer results stay 32-bit when both operands were and the result fits.
FieldValue IntResult(std::int64_t r, const FieldValue& a, const FieldValue& b) {
  if (a.kind() == Kind::Integer && b.kind() == Kind::Integer &&
      r >= std::numeric_limits<std::int32_t>::min() &&
      r <= std::numeric_limits<std::int32_t>::max()) {
    return FieldValue::Integer(static_cast<std::int32_t>(r));
  }
  return FieldValue::Largeint(r);
}

FieldValue DoubleResult(double r, std::string_view op) {
  if (!std::isfinite(r)) Overflow(op);
  return FieldValue::Double(r);
}

// Ten-thousandths of an integer or a money amount.
std::int64_t Scaled(const FieldValue& v, std::string_view op) {
  if (v.kind() == Kind::Currency) return v.integer();
  std::int64_t r;
  if (__builtin_mul_overflow(v.integer(), tabulix::Currency::kScale, &r)) Overflow(op);
  return r;
}

FieldValue NumberArithmetic(char op, const FieldValue& a, const FieldValue& b) {
  const std::string_view text(&op, 1);
  if (op == '/') {
    double divisor = b.AsDouble();
    if (divisor == 0.0) throw ExprValueError("Division by zero");
    return DoubleResult(a.AsDouble() / divisor, text);
  }
  if (a.kind() == Kind::Double || b.kind() == Kind::Double ||
      (op == '*' && a.kind() == Kind::Currency && b.kind() == Kind::Currency)) {
    double x = a.AsDouble(), y = b.AsDouble();
    return DoubleResult(op == '+' ? x + y : op == '-' ? x - y : x * y, text);
  }
  std::int64_t r;
  bool overflow;
  if (IsInt(a) && IsInt(b)) {
    overflow = op == '+'   ? __builtin_add_overflow(a.integer(), b.integer(), &r)
               : op == '-' ? __builtin_sub_overflow(a.integer(), b.integer(), &r)
                           : __builtin_mul_overflow(a.integer(), b.integer(), &r);
    if (overflow) Overflow(text);
    return IntResult(r, a, b);
  }
  // A money amount with an integer or another amount: exact in ten-thousandths.
  if (op == '*') {
    overflow = __builtin_mul_overflow(a.integer(), b.integer(), &r);
  } else {
    std::int64_t x = Scaled(a, text), y = Scaled(b, text);
    overflow = op == '+' ? __builtin_add_overflow(x, y, &r) : __builtin_sub_overflow(x, y, &r);
  }
  if (overflow) Overflow(text);
  return FieldValue::FromCurrency(tabulix::Currency{r});
}

// Integer or money amount against the other kind, without a rounding step: an integer too
// large to scale lies beyond every amount.
std::strong_ordering CompareIntWithCurrency(std::int64_t value, std::int64_t scaled) {
  std::int64_t r;
  if (__builtin_mul_overflow(value, tabulix::Currency::kScale, &r)) {
    return value < 0 ? std::strong_ordering::less : std::strong_ordering::greater;
  }
  return r <=> scaled;
}

// A number as long double for comparing with a Double: exact for 64-bit integers where long
// double has a 64-bit mantissa, and a money amount as the same double its text would give.
long double Wide(const FieldValue& v) {
  if (IsInt(v)) return static_cast<long double>(v.integer());
  return static_cast<long double>(v.AsDouble());
}

}  // namespace

void ThrowMismatch(std::string_view op, const FieldValue& a) {
  throw ExprValueError("Type mismatch in '" + std::string(op) + "': " + KindText(a));
}

void ThrowMismatch(std::string_view op, const FieldValue& a, const FieldValue& b) {
  throw ExprValueError("Type mismatch in '" + std::string(op) + "': " + KindText(a) + " and " +
                       KindText(b));
}

bool IsNumber(const FieldValue& a) {
  return IsInt(a) || a.kind() == Kind::Currency || a.kind() == Kind::Double;
}

FieldValue Arithmetic(char op, const FieldValue& a, const FieldValue& b) {
  if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return FieldValue::Null();
  const std::string_view text(&op, 1);
  if (IsNumber(a) && IsNumber(b)) return NumberArithmetic(op, a, b);
  if (op == '+' && a.kind() == Kind::Bytes && b.kind() == Kind::Bytes) {
    return FieldValue::Bytes(a.bytes() + b.bytes());
  }
  // Date-times count days: a date plus or minus days, or the days between two dates.
  if (a.kind() == Kind::DateTime) {
    if ((op == '+' || op == '-') && IsNumber(b)) {
      double r = op == '+' ? a.real() + b.AsDouble() : a.real() - b.AsDouble();
      if (!std::isfinite(r)) Overflow(text);
      return FieldValue::DateTime(r);
    }
    if (op == '-' && b.kind() == Kind::DateTime) return DoubleResult(a.real() - b.real(), text);
  }
  if (op == '+' && IsNumber(a) && b.kind() == Kind::DateTime) {
    double r = a.AsDouble() + b.real();
    if (!std::isfinite(r)) Overflow(text);
    return FieldValue::DateTime(r);
  }
  ThrowMismatch(text, a, b);
}

FieldValue Negate(const FieldValue& a) {
  switch (a.kind()) {
    case Kind::Empty:
    case Kind::Null:
      return FieldValue::Null();
    case Kind::Integer:
      return IntResult(-a.integer(), a, a);  // -(-2^31) no longer fits 32 bits
    case Kind::Largeint:
      if (a.integer() == std::numeric_limits<std::int64_t>::min()) Overflow("-");
      return FieldValue::Largeint(-a.integer());
    case Kind::Currency:
      if (a.integer() == std::numeric_limits<std::int64_t>::min()) Overflow("-");
      return FieldValue::FromCurrency(tabulix::Currency{-a.integer()});
    case Kind::Double:
      return FieldValue::Double(-a.real());
    default:
      ThrowMismatch("-", a);
  }
}

std::partial_ordering CompareValues(std::string_view op, const FieldValue& a, const FieldValue& b) {
  if (IsNumber(a) && IsNumber(b)) {
    if (a.kind() == Kind::Double || b.kind() == Kind::Double) return Wide(a) <=> Wide(b);
    if (a.kind() == b.kind() || (IsInt(a) && IsInt(b))) return a.integer() <=> b.integer();
    if (IsInt(a)) return CompareIntWithCurrency(a.integer(), b.integer());
    return 0 <=> CompareIntWithCurrency(b.integer(), a.integer());
  }
  if (a.kind() == Kind::Bytes && b.kind() == Kind::Bytes) return a.bytes().compare(b.bytes()) <=> 0;
  if (a.kind() == Kind::Boolean && b.kind() == Kind::Boolean) {
    return static_cast<int>(a.boolean()) <=> static_cast<int>(b.boolean());
  }
  if (a.kind() == Kind::DateTime || b.kind() == Kind::DateTime) {
    auto asDate = [&](const FieldValue& v) -> double {
      if (v.kind() == Kind::DateTime) return v.real();
      if (v.kind() != Kind::Bytes) ThrowMismatch(op, a, b);
      try {
        return v.AsDateTime();
      } catch (const Exception&) {
        throw ExprValueError("'" + v.bytes() + "' is not a date-time");
      }
    };
    return asDate(a) <=> asDate(b);
  }
  ThrowMismatch(op, a, b);
}

// "%" matches any run of bytes, "_" one byte. On a mismatch the last "%" takes one byte more;
// earlier ones never need to, so the walk stays linear in practice and quadratic at worst.
bool LikeMatch(std::string_view text, std::string_view pattern) {
  std::size_t t = 0, p = 0;
  std::size_t starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '%') {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == '_' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '%') ++p;
  return p == pattern.size();
}

FieldValue Absolute(const FieldValue& a) {
  if (a.IsNullOrEmpty()) return FieldValue::Null();
  if (!IsNumber(a)) ThrowMismatch("ABS", a);
  if (a.kind() == Kind::Double) return FieldValue::Double(std::fabs(a.real()));
  bool negative = a.integer() < 0;
  return negative ? Negate(a) : a;
}

FieldValue MathFunction(ExprFunction function, std::string_view name, const FieldValue& a) {
  if (a.IsNullOrEmpty()) return FieldValue::Null();
  if (!IsNumber(a)) ThrowMismatch(name, a);
  const double x = a.AsDouble();
  double r = 0;
  switch (function) {
    case ExprFunction::Sin:
      r = std::sin(x);
      break;
    case ExprFunction::Cos:
      r = std::cos(x);
      break;
    case ExprFunction::Tan:
      r = std::tan(x);
      break;
    case ExprFunction::Exp:
      r = std::exp(x);
      break;
    case ExprFunction::Ln:
      if (!(x > 0)) throw ExprValueError("LN needs a value above zero");
      r = std::log(x);
      break;
    case ExprFunction::Sqrt:
      if (!(x >= 0)) throw ExprValueError("SQRT needs a value not below zero");
      r = std::sqrt(x);
      break;
    default:
      throw ExprValueError(std::string(name) + " is not a numeric function");
  }
  return DoubleResult(r, name);
}

}  // namespace tabulix::dataset_internal
