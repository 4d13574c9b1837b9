// Expressions. Nothing here raises: an operation that does not apply to its
// operands yields Null. The one message is integer division by zero.
#include <cmath>
#include <cstdio>
#include <limits>

#include "interpreter/arithmetic.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/halt.h"
#include "interpreter/interpreter.h"
#include "interpreter/limits.h"

namespace tovik {

Value division_by_zero() {
  std::fputs("Error: division by zero\n", stderr);
  return Value::number(0);
}

// Integer power by repeated squaring with wrapping multiplication. A
// negative exponent gives the true result truncated toward zero, so only
// 1 and -1 survive it and 0 behaves like a division by zero.
Value integer_power(int64_t base, int64_t exponent) {
  if (exponent < 0) {
    if (base == 0) return division_by_zero();
    if (base == 1) return Value::number(1);
    if (base == -1) return Value::number((exponent & 1) ? -1 : 1);
    return Value::number(0);
  }
  uint64_t e = static_cast<uint64_t>(exponent);
  int64_t result = 1;
  while (e) {
    if (e & 1) result = wrap_mul(result, base);
    e >>= 1;
    if (e) base = wrap_mul(base, base);
  }
  return Value::number(result);
}

namespace {

Value integer_binary(int64_t a, TokenKind op, int64_t b) {
  switch (op) {
#define TOVIK_INTEGER_CASE(name)                                             \
  case TokenKind::name: return integer_op<TokenKind::name>(a, b);
    TOVIK_BINARY_OPERATORS(TOVIK_INTEGER_CASE)
#undef TOVIK_INTEGER_CASE
  default: return Value();
  }
}

Value float_binary(double a, TokenKind op, double b) {
  switch (op) {
#define TOVIK_FLOAT_CASE(name)                                               \
  case TokenKind::name: return float_op<TokenKind::name>(a, b);
    TOVIK_BINARY_OPERATORS(TOVIK_FLOAT_CASE)
#undef TOVIK_FLOAT_CASE
  default: return Value();
  }
}

Value string_binary(const Value &a, TokenKind op, const Value &b) {
  switch (op) {
  case TokenKind::Plus: {
    check_text_length(a.as_text().size() + b.as_text().size());
    std::string joined;
    joined.reserve(a.as_text().size() + b.as_text().size());
    joined += a.as_text();
    joined += b.as_text();
    return Value::string(std::move(joined));
  }
  case TokenKind::Equal: return Value::boolean(a.as_text() == b.as_text());
  case TokenKind::NotEqual: return Value::boolean(a.as_text() != b.as_text());
  default: return Value();
  }
}

Value boolean_binary(bool a, TokenKind op, bool b) {
  switch (op) {
  case TokenKind::And: return Value::boolean(a && b);
  case TokenKind::Or: return Value::boolean(a || b);
  case TokenKind::Equal: return Value::boolean(a == b);
  case TokenKind::NotEqual: return Value::boolean(a != b);
  default: return Value();
  }
}

// String literals are made into shared values once, on first use.
const Value &string_constant(const Expr &e) {
  if (e.constant.is_null()) e.constant = Value::string(e.text);
  return e.constant;
}

bool is_leaf(const Expr &e) {
  switch (e.kind) {
  case ExprKind::Number:
  case ExprKind::Float:
  case ExprKind::String:
  case ExprKind::Boolean:
  case ExprKind::Identifier:
    return true;
  default:
    return false;
  }
}

// The value of a leaf without copying it: a variable's own storage, the
// cached literal, or a number made in `scratch`. Reading a leaf has no side
// effects, so the caller may postpone it past evaluating another leaf.
const Value &leaf_value(Interpreter &interp, const Expr &e, Value &scratch) {
  switch (e.kind) {
  case ExprKind::Identifier:
    if (const Value *found = find_variable(interp, e.symbol)) return *found;
    return scratch;
  case ExprKind::Number:
    scratch = Value::number(e.number);
    return scratch;
  case ExprKind::Float:
    scratch = Value::real(e.real);
    return scratch;
  case ExprKind::Boolean:
    scratch = Value::boolean(e.boolean);
    return scratch;
  case ExprKind::String:
    return string_constant(e);
  default:
    scratch = evaluate(interp, e);
    return scratch;
  }
}

// Operands of a binary node in evaluation order. The left one is read in
// place only when the right one is a leaf, since evaluating anything else
// could rebind or release what the left one points at.
struct Operands {
  Value left_scratch, right_scratch;
  const Value *left, *right;
  Operands(Interpreter &interp, const Expr &l, const Expr &r) {
    if (is_leaf(r) && is_leaf(l)) {
      left = &leaf_value(interp, l, left_scratch);
    } else {
      left_scratch = evaluate(interp, l);
      left = &left_scratch;
    }
    right = is_leaf(r) ? &leaf_value(interp, r, right_scratch)
                       : &(right_scratch = evaluate(interp, r));
  }
};

[[gnu::noinline]] Value evaluate_unary(Interpreter &interp, const Expr &e) {
  check_stack();
  Value operand = evaluate(interp, *e.left);
  switch (e.op.kind) {
  case TokenKind::Minus:
    if (operand.is(ValueKind::Number))
      return Value::number(wrap_sub(0, operand.as_number()));
    if (operand.is(ValueKind::Float)) return Value::real(-operand.as_float());
    return Value();
  case TokenKind::Not:
    return Value::boolean(!is_truthy(operand));
  default:
    return Value();
  }
}

Value index_value(const Value &object, const Value &index) {
  if (object.is(ValueKind::Array) && index.is(ValueKind::Number)) {
    const std::vector<Value> &items = object.as_array();
    uint64_t i = static_cast<uint64_t>(index.as_number()); // negatives miss
    return i < items.size() ? items[i] : Value();
  }
  if (object.is(ValueKind::Dict) && index.is(ValueKind::String)) {
    const Value *found =
        object.as_dict().find(index.as_text(), index.text_hash());
    return found ? *found : Value();
  }
  return Value();
}

[[gnu::noinline]] Value evaluate_dict(Interpreter &interp, const Expr &e) {
  check_stack();
  Dict dict;
  for (const DictEntry &entry : e.entries)
    dict.set(entry.first, evaluate(interp, entry.second));
  return Value::dict(std::move(dict));
}

[[gnu::noinline]] Value evaluate_array(Interpreter &interp, const Expr &e) {
  check_stack();
  std::vector<Value> items;
  items.reserve(e.items.size());
  for (const Expr &item : e.items) items.push_back(evaluate(interp, item));
  return Value::array(std::move(items));
}

} // namespace

bool range_bound(const Value &v, int64_t &out) {
  if (v.is(ValueKind::Number)) {
    out = v.as_number();
    return true;
  }
  if (v.is(ValueKind::Float)) {
    out = saturate_to_integer(v.as_float());
    return true;
  }
  return false;
}

namespace {

[[gnu::noinline]] Value evaluate_range(Interpreter &interp, const Expr &e) {
  check_stack();
  Value start = evaluate(interp, *e.left);
  Value end = evaluate(interp, *e.right);
  int64_t from, to;
  if (!range_bound(start, from) || !range_bound(end, to)) return Value();
  if (to <= from) return Value::array({});
  uint64_t length = static_cast<uint64_t>(to) - static_cast<uint64_t>(from);
  if (length > kMaxRangeLength) return Value();
  std::vector<Value> items;
  items.reserve(length);
  for (int64_t i = from; i < to; ++i) items.push_back(Value::number(i));
  return Value::array(std::move(items));
}

} // namespace

Value apply_binary(const Value &left, TokenKind op, const Value &right) {
  if (left.kind() != right.kind()) return Value();
  switch (left.kind()) {
  case ValueKind::Number:
    return integer_binary(left.as_number(), op, right.as_number());
  case ValueKind::Float:
    return float_binary(left.as_float(), op, right.as_float());
  case ValueKind::String:
    return string_binary(left, op, right);
  case ValueKind::Boolean:
    return boolean_binary(left.as_boolean(), op, right.as_boolean());
  default:
    return Value();
  }
}

namespace {

// How a binary node reads an operand, decided once per node: a variable in
// its own storage, a literal's cached value, or anything else evaluated.
enum class Shape { Variable, Literal, Other };

const Value kNull;

template <Shape S>
inline const Value &read_operand(Interpreter &interp, const Expr &e) {
  if constexpr (S == Shape::Variable) {
    const Value *found = find_variable(interp, e.symbol);
    return found ? *found : kNull;
  } else {
    static_assert(S == Shape::Literal);
    return e.constant;
  }
}

template <TokenKind Op> inline Value combine(const Value &a, const Value &b) {
  if (a.is(ValueKind::Number) && b.is(ValueKind::Number))
    return integer_op<Op>(a.as_number(), b.as_number());
  if (a.is(ValueKind::Float) && b.is(ValueKind::Float))
    return float_op<Op>(a.as_float(), b.as_float());
  return apply_binary(a, Op, b);
}

// Both operands always run, `and` and `or` included: the language has no
// short-circuit evaluation. A leaf is read in place unless something still
// to be evaluated could rebind or release it.
template <TokenKind Op, Shape L, Shape R>
Value evaluate_binary(Interpreter &interp, const Expr &e) {
  const Expr &l = *e.left, &r = *e.right;
  if constexpr (L != Shape::Other && R != Shape::Other) {
    return combine<Op>(read_operand<L>(interp, l), read_operand<R>(interp, r));
  } else if constexpr (L == Shape::Other) {
    check_stack();
    Value left = evaluate(interp, l);
    if constexpr (R == Shape::Other) {
      Value right = evaluate(interp, r);
      return combine<Op>(left, right);
    } else {
      return combine<Op>(left, read_operand<R>(interp, r));
    }
  } else if constexpr (L == Shape::Literal) {
    check_stack();
    Value right = evaluate(interp, r);
    return combine<Op>(l.constant, right);
  } else {
    check_stack();
    Value left = read_operand<L>(interp, l);
    Value right = evaluate(interp, r);
    return combine<Op>(left, right);
  }
}

// A literal's value, made once; false for other nodes.
bool prepare_literal(const Expr &e) {
  switch (e.kind) {
  case ExprKind::Number:
    e.constant = Value::number(e.number);
    return true;
  case ExprKind::Float:
    e.constant = Value::real(e.real);
    return true;
  case ExprKind::Boolean:
    e.constant = Value::boolean(e.boolean);
    return true;
  case ExprKind::String:
    string_constant(e);
    return true;
  default:
    return false;
  }
}

Shape shape_of(const Expr &e) {
  if (e.kind == ExprKind::Identifier) return Shape::Variable;
  return prepare_literal(e) ? Shape::Literal : Shape::Other;
}

template <TokenKind Op, Shape L> Evaluator binary_for(Shape right) {
  switch (right) {
  case Shape::Variable: return evaluate_binary<Op, L, Shape::Variable>;
  case Shape::Literal: return evaluate_binary<Op, L, Shape::Literal>;
  case Shape::Other: break;
  }
  return evaluate_binary<Op, L, Shape::Other>;
}

template <TokenKind Op> Evaluator binary_for(Shape left, Shape right) {
  switch (left) {
  case Shape::Variable: return binary_for<Op, Shape::Variable>(right);
  case Shape::Literal: return binary_for<Op, Shape::Literal>(right);
  case Shape::Other: break;
  }
  return binary_for<Op, Shape::Other>(right);
}

Value evaluate_unknown_operator(Interpreter &interp, const Expr &e) {
  check_stack();
  evaluate(interp, *e.left);
  evaluate(interp, *e.right);
  return Value();
}

Evaluator binary_evaluator(const Expr &e) {
  Shape left = shape_of(*e.left), right = shape_of(*e.right);
  switch (e.op.kind) {
#define TOVIK_BINARY_CASE(name)                                              \
  case TokenKind::name: return binary_for<TokenKind::name>(left, right);
    TOVIK_BINARY_OPERATORS(TOVIK_BINARY_CASE)
#undef TOVIK_BINARY_CASE
  default: return evaluate_unknown_operator;
  }
}

// `xs[i]`, `d.key` and `d["key"]` on a variable: nothing is copied but the
// element read, and a literal key's hash is computed once.
Value index_variable(Interpreter &interp, const Expr &object,
                     const Expr &index) {
  const Value *held = find_variable(interp, object.symbol);
  if (!held) return Value();
  switch (index.kind) {
  case ExprKind::String: {
    if (!held->is(ValueKind::Dict)) return Value();
    const Value &key = string_constant(index);
    const Value *found = held->as_dict().find(key.as_text(), key.text_hash());
    return found ? *found : Value();
  }
  case ExprKind::Number: {
    if (!held->is(ValueKind::Array)) return Value();
    const std::vector<Value> &items = held->as_array();
    auto i = static_cast<uint64_t>(index.number);
    return i < items.size() ? items[i] : Value();
  }
  default: {
    const Value *key = find_variable(interp, index.symbol);
    return key ? index_value(*held, *key) : Value();
  }
  }
}

[[gnu::noinline]] Value evaluate_index(Interpreter &interp, const Expr &e) {
  check_stack();
  const Expr &object = *e.left, &index = *e.right;
  if (object.kind == ExprKind::Identifier &&
      (index.kind == ExprKind::String || index.kind == ExprKind::Number ||
       index.kind == ExprKind::Identifier))
    return index_variable(interp, object, index);
  Operands operands(interp, object, index);
  return index_value(*operands.left, *operands.right);
}

} // namespace

namespace {

Value evaluate_literal(Interpreter &, const Expr &e) { return e.constant; }

Value evaluate_variable(Interpreter &interp, const Expr &e) {
  return get_variable(interp, e.symbol);
}

Value evaluate_call(Interpreter &interp, const Expr &e) {
  return call_function(interp, e);
}

} // namespace

// Each node's evaluator is chosen on its first evaluation, from its kind and
// for operators from the operator and the operands' shapes, so later
// evaluations go straight to the code for that node.
Evaluator choose_evaluator(const Expr &e) {
  switch (e.kind) {
  case ExprKind::Number:
  case ExprKind::Float:
  case ExprKind::String:
  case ExprKind::Boolean:
    prepare_literal(e);
    return evaluate_literal;
  case ExprKind::Identifier: return evaluate_variable;
  case ExprKind::BinaryOp: return binary_evaluator(e);
  case ExprKind::UnaryOp: return evaluate_unary;
  case ExprKind::Call:
    return is_user_name_call(e) ? call_user_name : evaluate_call;
  case ExprKind::Array: return evaluate_array;
  case ExprKind::Dict: return evaluate_dict;
  case ExprKind::Index: return evaluate_index;
  case ExprKind::Range: return evaluate_range;
  }
  return evaluate_literal;
}

} // namespace tovik
