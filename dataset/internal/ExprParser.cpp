#include "dataset/internal/ExprParser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <utility>

#include "dataset/ParserError.h"
#include "dataset/internal/ExprTokens.h"
#include "framework/AsciiCase.h"

namespace tabulix::dataset_internal {

namespace {

// Deeper trees are refused, so that neither parsing nor evaluating nor freeing a hostile
// expression ("((((..." or "1+1+1+...") can exhaust the stack.
constexpr int kMaxDepth = 200;

// Recursive descent over the tokens, one function per precedence level:
//   or := and {OR and};  and := not {AND not};  not := NOT not | comparison;
//   comparison := sum [compare sum | [NOT] LIKE sum | IS [NOT] NULL];
//   sum := product {(+|-) product};  product := unary {(*|/) unary};  unary := - unary | primary;
//   primary := number | text | TRUE | FALSE | NULL | name | name ( [or {, or}] ) | ( or ).
class ExprParser {
 public:
  ExprParser(const std::string& expression, std::vector<std::string>& variables)
      : expression_(expression), tokens_(TokenizeExpression(expression)), variables_(variables) {}

  ExprNodePtr Parse() {
    ExprNodePtr root = ParseOr();
    if (Peek().kind != ExprToken::Kind::End) Unexpected(Peek());
    return root;
  }

 private:
  // Counts the nesting of the recursion that has no node of its own yet.
  class DepthGuard {
   public:
    DepthGuard(ExprParser& parser, const ExprToken& at) : parser_(parser) {
      if (++parser_.nesting_ > kMaxDepth) parser_.Fail("Expression nested too deeply", at);
    }
    ~DepthGuard() { --parser_.nesting_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

   private:
    ExprParser& parser_;
  };

  const ExprToken& Peek() const { return tokens_[next_]; }
  const ExprToken& Take() {
    const ExprToken& token = tokens_[next_];
    if (token.kind != ExprToken::Kind::End) ++next_;
    return token;
  }
  bool PeekSymbol(std::string_view symbol) const {
    return Peek().kind == ExprToken::Kind::Symbol && Peek().text == symbol;
  }
  bool PeekKeyword(std::string_view word, std::size_t ahead = 0) const {
    const ExprToken& token = tokens_[std::min(next_ + ahead, tokens_.size() - 1)];
    return token.kind == ExprToken::Kind::Name && EqualsIgnoreCase(token.text, word);
  }
  static bool IsKeyword(const ExprToken& token) {
    for (std::string_view word : {"AND", "OR", "NOT", "IS", "LIKE", "NULL", "TRUE", "FALSE"}) {
      if (EqualsIgnoreCase(token.text, word)) return true;
    }
    return false;
  }

  [[noreturn]] void Fail(std::string_view what, const ExprToken& at) const {
    throw EParserError::At(what, expression_, at.position);
  }
  [[noreturn]] void Unexpected(const ExprToken& token) const {
    if (token.kind == ExprToken::Kind::End) Fail("Unexpected end of expression", token);
    Fail("Unexpected '" +
             expression_.substr(static_cast<std::size_t>(token.position - 1),
                                static_cast<std::size_t>(token.length)) +
             "'",
         token);
  }
  void Expect(std::string_view symbol) {
    if (!PeekSymbol(symbol)) Fail("Expected '" + std::string(symbol) + "'", Peek());
    Take();
  }

  std::unique_ptr<ExprNode> Make(ExprOp op, int position, std::vector<ExprNodePtr> args) const {
    auto node = std::make_unique<ExprNode>();
    node->op = op;
    node->position = position;
    for (const ExprNodePtr& arg : args) node->depth = std::max(node->depth, arg->depth + 1);
    if (node->depth > kMaxDepth) {
      throw EParserError::At("Expression nested too deeply", expression_, position);
    }
    node->args = std::move(args);
    return node;
  }
  std::unique_ptr<ExprNode> Make(ExprOp op, int position, ExprNodePtr a,
                                 ExprNodePtr b = nullptr) const {
    std::vector<ExprNodePtr> args;
    args.push_back(std::move(a));
    if (b) args.push_back(std::move(b));
    return Make(op, position, std::move(args));
  }

  ExprNodePtr ParseOr() {
    ExprNodePtr left = ParseAnd();
    while (PeekKeyword("OR")) {
      int position = Take().position;
      left = Make(ExprOp::Or, position, std::move(left), ParseAnd());
    }
    return left;
  }

  ExprNodePtr ParseAnd() {
    ExprNodePtr left = ParseNot();
    while (PeekKeyword("AND")) {
      int position = Take().position;
      left = Make(ExprOp::And, position, std::move(left), ParseNot());
    }
    return left;
  }

  ExprNodePtr ParseNot() {
    if (!PeekKeyword("NOT")) return ParseComparison();
    DepthGuard guard(*this, Peek());
    int position = Take().position;
    return Make(ExprOp::Not, position, ParseNot());
  }

  ExprNodePtr ParseComparison() {
    ExprNodePtr left = ParseSum();
    static constexpr std::array<std::pair<std::string_view, ExprOp>, 7> kCompare = {{
        {"=", ExprOp::Equal},
        {"<>", ExprOp::NotEqual},
        {"!=", ExprOp::NotEqual},
        {"<", ExprOp::Less},
        {"<=", ExprOp::LessEqual},
        {">", ExprOp::Greater},
        {">=", ExprOp::GreaterEqual},
    }};
    for (const auto& [symbol, op] : kCompare) {
      if (PeekSymbol(symbol)) {
        int position = Take().position;
        return Make(op, position, std::move(left), ParseSum());
      }
    }
    if (PeekKeyword("LIKE")) {
      int position = Take().position;
      return Make(ExprOp::Like, position, std::move(left), ParseSum());
    }
    if (PeekKeyword("NOT") && PeekKeyword("LIKE", 1)) {
      int position = Take().position;
      Take();
      return Make(ExprOp::NotLike, position, std::move(left), ParseSum());
    }
    if (PeekKeyword("IS")) {
      int position = Take().position;
      ExprOp op = ExprOp::IsNull;
      if (PeekKeyword("NOT")) {
        Take();
        op = ExprOp::IsNotNull;
      }
      if (!PeekKeyword("NULL")) Fail("Expected NULL", Peek());
      Take();
      return Make(op, position, std::move(left));
    }
    return left;
  }

  ExprNodePtr ParseSum() {
    ExprNodePtr left = ParseProduct();
    while (PeekSymbol("+") || PeekSymbol("-")) {
      const ExprToken& op = Take();
      left = Make(op.text == "+" ? ExprOp::Add : ExprOp::Subtract, op.position, std::move(left),
                  ParseProduct());
    }
    return left;
  }

  ExprNodePtr ParseProduct() {
    ExprNodePtr left = ParseUnary();
    while (PeekSymbol("*") || PeekSymbol("/")) {
      const ExprToken& op = Take();
      left = Make(op.text == "*" ? ExprOp::Multiply : ExprOp::Divide, op.position, std::move(left),
                  ParseUnary());
    }
    return left;
  }

  ExprNodePtr ParseUnary() {
    DepthGuard guard(*this, Peek());
    if (!PeekSymbol("-")) return ParsePrimary();
    int position = Take().position;
    return Make(ExprOp::Negate, position, ParseUnary());
  }

  ExprNodePtr Literal(FieldValue value, const ExprToken& token) const {
    auto node = std::make_unique<ExprNode>();
    node->position = token.position;
    node->value = std::move(value);
    return node;
  }

  ExprNodePtr ParsePrimary() {
    const ExprToken& token = Take();
    switch (token.kind) {
      case ExprToken::Kind::Number:
        return Literal(ParseNumber(token), token);
      case ExprToken::Kind::Text:
        return Literal(FieldValue::Bytes(token.text), token);
      case ExprToken::Kind::QuotedName:
        return Variable(token);
      case ExprToken::Kind::Name:
        if (EqualsIgnoreCase(token.text, "NULL")) return Literal(FieldValue::Null(), token);
        if (EqualsIgnoreCase(token.text, "TRUE")) return Literal(FieldValue::Boolean(true), token);
        if (EqualsIgnoreCase(token.text, "FALSE")) {
          return Literal(FieldValue::Boolean(false), token);
        }
        if (IsKeyword(token)) Unexpected(token);
        if (PeekSymbol("(")) return Call(token);
        return Variable(token);
      case ExprToken::Kind::Symbol:
        if (token.text == "(") {
          ExprNodePtr inner = ParseOr();
          Expect(")");
          return inner;
        }
        break;
      case ExprToken::Kind::End:
        break;
    }
    Unexpected(token);
  }

  FieldValue ParseNumber(const ExprToken& token) const {
    const char* first = token.text.data();
    const char* last = first + token.text.size();
    if (token.text.find_first_of(".eE") == std::string::npos) {
      std::int64_t value = 0;
      if (std::from_chars(first, last, value).ec != std::errc()) {
        Fail("Number out of range", token);
      }
      if (value <= std::numeric_limits<std::int32_t>::max()) {
        return FieldValue::Integer(static_cast<std::int32_t>(value));
      }
      return FieldValue::Largeint(value);
    }
    double value = 0;
    if (std::from_chars(first, last, value).ec != std::errc()) Fail("Number out of range", token);
    return FieldValue::Double(value);
  }

  ExprNodePtr Variable(const ExprToken& token) {
    auto node = std::make_unique<ExprNode>();
    node->op = ExprOp::Variable;
    node->position = token.position;
    for (std::size_t i = 0; i < variables_.size(); ++i) {
      if (EqualsIgnoreCase(variables_[i], token.text)) {
        node->variable = static_cast<int>(i);
        return node;
      }
    }
    node->variable = static_cast<int>(variables_.size());
    variables_.push_back(token.text);
    return node;
  }

  ExprNodePtr Call(const ExprToken& name) {
    const ExprFunctionInfo* row = FindFunction(name.text);
    if (!row) Fail("Unknown function '" + name.text + "'", name);
    Take();  // "("
    std::vector<ExprNodePtr> args;
    if (!PeekSymbol(")")) {
      for (;;) {
        args.push_back(ParseOr());
        if (!PeekSymbol(",")) break;
        Take();
      }
    }
    if (!PeekSymbol(")")) Fail("Expected ',' or ')'", Peek());
    Take();
    const int count = static_cast<int>(args.size());
    if (count < row->minArgs || (row->maxArgs >= 0 && count > row->maxArgs)) {
      Fail(ArityText(*row), name);
    }
    std::unique_ptr<ExprNode> node = Make(ExprOp::Call, name.position, std::move(args));
    node->function = row->function;
    return node;
  }

  const std::string& expression_;
  std::vector<ExprToken> tokens_;
  std::vector<std::string>& variables_;
  std::size_t next_ = 0;
  int nesting_ = 0;
};

}  // namespace

ExprNodePtr ParseExpression(const std::string& expression, std::vector<std::string>& variables) {
  return ExprParser(expression, variables).Parse();
}

}  // namespace tabulix::dataset_internal
