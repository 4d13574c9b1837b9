// Expressions. Nothing here raises: an operation that does not apply to its
// operands yields Null. The one message is integer division by zero.
#include <cmath>
#include <cstdio>
#include <limits>

#include "interpreter/builtins/builtins.h"
#include "interpreter/halt.h"
#include "interpreter/interpreter.h"
#include "interpreter/limits.h"

namespace tovik {

namespace {

constexpr double kEpsilon = 2.220446049250313e-16;

int64_t wrap_add(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) +
                              static_cast<uint64_t>(b));
}
int64_t wrap_sub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) -
                              static_cast<uint64_t>(b));
}
int64_t wrap_mul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) *
                              static_cast<uint64_t>(b));
}

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

Value integer_binary(int64_t a, TokenKind op, int64_t b) {
  switch (op) {
  case TokenKind::Plus: return Value::number(wrap_add(a, b));
  case TokenKind::Minus: return Value::number(wrap_sub(a, b));
  case TokenKind::Star: return Value::number(wrap_mul(a, b));
  case TokenKind::Slash:
    if (b == 0) return division_by_zero();
    if (b == -1) return Value::number(wrap_sub(0, a)); // MIN / -1 wraps
    return Value::number(a / b);
  case TokenKind::Percent:
    if (b == 0) return division_by_zero();
    if (b == -1) return Value::number(0);
    return Value::number(a % b);
  case TokenKind::Power: return integer_power(a, b);
  case TokenKind::Equal: return Value::boolean(a == b);
  case TokenKind::NotEqual: return Value::boolean(a != b);
  case TokenKind::Less: return Value::boolean(a < b);
  case TokenKind::Greater: return Value::boolean(a > b);
  case TokenKind::LessEqual: return Value::boolean(a <= b);
  case TokenKind::GreaterEqual: return Value::boolean(a >= b);
  default: return Value();
  }
}

Value float_binary(double a, TokenKind op, double b) {
  switch (op) {
  case TokenKind::Plus: return Value::real(a + b);
  case TokenKind::Minus: return Value::real(a - b);
  case TokenKind::Star: return Value::real(a * b);
  case TokenKind::Slash: return Value::real(a / b);
  case TokenKind::Percent: return Value::real(std::fmod(a, b));
  case TokenKind::Power: return Value::real(std::pow(a, b));
  // Equality is an absolute tolerance, whatever the operands' size.
  case TokenKind::Equal: return Value::boolean(std::fabs(a - b) < kEpsilon);
  case TokenKind::NotEqual: return Value::boolean(std::fabs(a - b) >= kEpsilon);
  case TokenKind::Less: return Value::boolean(a < b);
  case TokenKind::Greater: return Value::boolean(a > b);
  case TokenKind::LessEqual: return Value::boolean(a <= b);
  case TokenKind::GreaterEqual: return Value::boolean(a >= b);
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

// A leaf that reads as an integer, without building a Value.
inline bool integer_leaf(const Interpreter &interp, const Expr &e,
                         int64_t &out) {
  if (e.kind == ExprKind::Number) {
    out = e.number;
    return true;
  }
  if (e.kind == ExprKind::Identifier) {
    const Value *v = find_variable(interp, e.symbol);
    if (v && v->is(ValueKind::Number)) {
      out = v->as_number();
      return true;
    }
  }
  return false;
}

inline bool float_leaf(const Interpreter &interp, const Expr &e, double &out) {
  if (e.kind == ExprKind::Float) {
    out = e.real;
    return true;
  }
  if (e.kind == ExprKind::Identifier) {
    const Value *v = find_variable(interp, e.symbol);
    if (v && v->is(ValueKind::Float)) {
      out = v->as_float();
      return true;
    }
  }
  return false;
}

[[gnu::noinline]] Value evaluate_binary(Interpreter &interp, const Expr &e) {
  check_stack();
  const Expr &l = *e.left, &r = *e.right;
  // Most arithmetic combines variables and literals: read both in place.
  // Reading a leaf has no side effects, so trying the next shape after a
  // miss is safe.
  int64_t a, b;
  if (integer_leaf(interp, l, a) && integer_leaf(interp, r, b))
    return integer_binary(a, e.op.kind, b);
  double x, y;
  if (float_leaf(interp, l, x) && float_leaf(interp, r, y))
    return float_binary(x, e.op.kind, y);
  // Both operands always run, `and` and `or` included: the language has
  // no short-circuit evaluation.
  Operands operands(interp, l, r);
  const Value &left = *operands.left, &right = *operands.right;
  if (left.is(ValueKind::Number) && right.is(ValueKind::Number))
    return integer_binary(left.as_number(), e.op.kind, right.as_number());
  if (left.is(ValueKind::Float) && right.is(ValueKind::Float))
    return float_binary(left.as_float(), e.op.kind, right.as_float());
  return apply_binary(left, e.op.kind, right);
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

// A thin dispatcher: every composite kind has its own function, so entering
// a leaf costs no more than the leaf itself.
Value evaluate(Interpreter &interp, const Expr &e) {
  switch (e.kind) {
  case ExprKind::Number:
    return Value::number(e.number);
  case ExprKind::Float:
    return Value::real(e.real);
  case ExprKind::String:
    return string_constant(e);
  case ExprKind::Boolean:
    return Value::boolean(e.boolean);
  case ExprKind::Identifier:
    return get_variable(interp, e.symbol);
  case ExprKind::BinaryOp:
    return evaluate_binary(interp, e);
  case ExprKind::UnaryOp:
    return evaluate_unary(interp, e);
  case ExprKind::Call:
    return call_function(interp, e);
  case ExprKind::Array:
    return evaluate_array(interp, e);
  case ExprKind::Dict:
    return evaluate_dict(interp, e);
  case ExprKind::Index:
    return evaluate_index(interp, e);
  case ExprKind::Range:
    return evaluate_range(interp, e);
  }
  return Value();
}

} // namespace tovik
