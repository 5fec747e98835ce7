#include "dataset/internal/ExprEvaluator.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <optional>

#include "dataset/ParserError.h"
#include "dataset/internal/ExprValues.h"
#include "framework/DateTime.h"

namespace tabulix::dataset_internal {

namespace {

// Local wall-clock time, as the dates in the tables are written; a leap second counts as :59.
FieldValue Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return FieldValue::DateTime(ComposeDateTime(
      EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
      EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(ms))));
}

// Walks the tree once per Evaluate. Value errors become parser errors at the node's position.
class ExprEvaluator {
 public:
  ExprEvaluator(const std::string& expression, const std::vector<const FieldValue*>& values)
      : expression_(expression), values_(values) {}

  FieldValue Eval(const ExprNode& node) {
    try {
      return EvalNode(node);
    } catch (const ExprValueError& e) {
      throw EParserError::At(e.what(), expression_, node.position);
    }
  }

 private:
  // True, false, or nullopt for null; anything else is a mismatch for the named operation.
  static std::optional<bool> Truth(const FieldValue& v, std::string_view op) {
    if (v.IsNullOrEmpty()) return std::nullopt;
    if (v.kind() != FieldValue::Kind::Boolean) ThrowMismatch(op, v);
    return v.boolean();
  }
  static FieldValue FromTruth(std::optional<bool> truth) {
    return truth ? FieldValue::Boolean(*truth) : FieldValue::Null();
  }
  static std::optional<bool> And(std::optional<bool> a, std::optional<bool> b) {
    if (a == false || b == false) return false;
    if (a && b) return true;
    return std::nullopt;
  }

  const ExprNode& Arg(const ExprNode& node, std::size_t i) const { return *node.args[i]; }

  FieldValue EvalNode(const ExprNode& node) {
    switch (node.op) {
      case ExprOp::Literal:
        return node.value;
      case ExprOp::Variable: {
        const FieldValue* v = values_[static_cast<std::size_t>(node.variable)];
        return v && !v->IsNullOrEmpty() ? *v : FieldValue::Null();
      }
      case ExprOp::Negate:
        return Negate(Eval(Arg(node, 0)));
      case ExprOp::Not: {
        std::optional<bool> a = Truth(Eval(Arg(node, 0)), "NOT");
        return a ? FieldValue::Boolean(!*a) : FieldValue::Null();
      }
      case ExprOp::Add:
      case ExprOp::Subtract:
      case ExprOp::Multiply:
      case ExprOp::Divide: {
        FieldValue a = Eval(Arg(node, 0));
        FieldValue b = Eval(Arg(node, 1));
        return Arithmetic(ExprOpText(node.op)[0], a, b);
      }
      case ExprOp::Equal:
      case ExprOp::NotEqual:
      case ExprOp::Less:
      case ExprOp::LessEqual:
      case ExprOp::Greater:
      case ExprOp::GreaterEqual:
        return Compare(node);
      case ExprOp::Like:
      case ExprOp::NotLike: {
        FieldValue a = Eval(Arg(node, 0));
        FieldValue b = Eval(Arg(node, 1));
        if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return FieldValue::Null();
        if (a.kind() != FieldValue::Kind::Bytes || b.kind() != FieldValue::Kind::Bytes) {
          ThrowMismatch(ExprOpText(node.op), a, b);
        }
        bool match = LikeMatch(a.bytes(), b.bytes());
        return FieldValue::Boolean(node.op == ExprOp::Like ? match : !match);
      }
      case ExprOp::IsNull:
        return FieldValue::Boolean(Eval(Arg(node, 0)).IsNullOrEmpty());
      case ExprOp::IsNotNull:
        return FieldValue::Boolean(!Eval(Arg(node, 0)).IsNullOrEmpty());
      case ExprOp::And: {
        std::optional<bool> a = Truth(Eval(Arg(node, 0)), "AND");
        if (a == false) return FieldValue::Boolean(false);
        return FromTruth(And(a, Truth(Eval(Arg(node, 1)), "AND")));
      }
      case ExprOp::Or: {
        std::optional<bool> a = Truth(Eval(Arg(node, 0)), "OR");
        if (a == true) return FieldValue::Boolean(true);
        std::optional<bool> b = Truth(Eval(Arg(node, 1)), "OR");
        if (b == true) return FieldValue::Boolean(true);
        return a && b ? FieldValue::Boolean(false) : FieldValue::Null();
      }
      case ExprOp::Call:
        return Call(node);
    }
    return FieldValue::Null();
  }

  FieldValue Compare(const ExprNode& node) {
    FieldValue a = Eval(Arg(node, 0));
    FieldValue b = Eval(Arg(node, 1));
    if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return FieldValue::Null();
    std::partial_ordering order = CompareValues(ExprOpText(node.op), a, b);
    switch (node.op) {
      case ExprOp::Equal:
        return FieldValue::Boolean(order == 0);
      case ExprOp::NotEqual:
        return FieldValue::Boolean(order != 0);
      case ExprOp::Less:
        return FieldValue::Boolean(order < 0);
      case ExprOp::LessEqual:
        return FieldValue::Boolean(order <= 0);
      case ExprOp::Greater:
        return FieldValue::Boolean(order > 0);
      default:
        return FieldValue::Boolean(order >= 0);
    }
  }

  // x >= lo AND x <= hi, each null when a side is null.
  FieldValue Between(const ExprNode& node) {
    FieldValue x = Eval(Arg(node, 0));
    FieldValue lo = Eval(Arg(node, 1));
    FieldValue hi = Eval(Arg(node, 2));
    auto holds = [&](const FieldValue& a, const FieldValue& b) -> std::optional<bool> {
      if (a.IsNullOrEmpty() || b.IsNullOrEmpty()) return std::nullopt;
      return CompareValues("BETWEEN", a, b) <= 0;
    };
    return FromTruth(And(holds(lo, x), holds(x, hi)));
  }

  FieldValue InList(const ExprNode& node) {
    FieldValue x = Eval(Arg(node, 0));
    if (x.IsNullOrEmpty()) return FieldValue::Null();
    bool sawNull = false;
    for (std::size_t i = 1; i < node.args.size(); ++i) {
      FieldValue item = Eval(Arg(node, i));
      if (item.IsNullOrEmpty()) {
        sawNull = true;
      } else if (CompareValues("INLIST", x, item) == 0) {
        return FieldValue::Boolean(true);
      }
    }
    return sawNull ? FieldValue::Null() : FieldValue::Boolean(false);
  }

  FieldValue Call(const ExprNode& node) {
    const ExprFunctionInfo& row = FunctionInfo(node.function);
    switch (node.function) {
      case ExprFunction::Now:
        return Now();
      case ExprFunction::Iif: {
        std::optional<bool> condition = Truth(Eval(Arg(node, 0)), "IIF");
        return Eval(Arg(node, condition == true ? 1 : 2));
      }
      case ExprFunction::Between:
        return Between(node);
      case ExprFunction::InList:
        return InList(node);
      case ExprFunction::Min:
      case ExprFunction::Max:
      case ExprFunction::Sum: {
        std::vector<FieldValue> values;
        for (const ExprNodePtr& arg : node.args) values.push_back(Eval(*arg));
        for (const FieldValue& v : values) {
          if (v.IsNullOrEmpty()) return FieldValue::Null();
          if (node.function == ExprFunction::Sum && !IsNumber(v)) {
            ThrowMismatch(row.name, v);
          }
        }
        FieldValue result = values[0];
        for (std::size_t i = 1; i < values.size(); ++i) {
          if (node.function == ExprFunction::Sum) {
            result = Arithmetic('+', result, values[i]);
            continue;
          }
          std::partial_ordering order = CompareValues(row.name, values[i], result);
          if (node.function == ExprFunction::Min ? order < 0 : order > 0) result = values[i];
        }
        return result;
      }
      case ExprFunction::Abs:
        return Absolute(Eval(Arg(node, 0)));
      default:
        return MathFunction(node.function, row.name, Eval(Arg(node, 0)));
    }
  }

  const std::string& expression_;
  const std::vector<const FieldValue*>& values_;
};

}  // namespace

FieldValue EvaluateExpression(const ExprNode& root, const std::string& expression,
                              const std::vector<const FieldValue*>& values) {
  return ExprEvaluator(expression, values).Eval(root);
}

}  // namespace tabulix::dataset_internal
