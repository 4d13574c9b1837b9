// Expressions. Nothing here raises: an operation that does not apply to its
// operands yields Null. The one message is integer division by zero.
#include <cmath>
#include <cstdio>
#include <limits>

#include "interpreter/arithmetic.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/evaluation_mode.h"
#include "interpreter/interpreter.h"
#include "interpreter/operands.h"
#include "interpreter/warning_evaluators.h"
#include "interpreter/warnings.h"
#include "support/halt.h"
#include "support/hash.h"
#include "support/limits.h"

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


inline Value unary_value(TokenKind op, const Value &operand) {
  switch (op) {
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

[[gnu::noinline]] Value evaluate_unary(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  Value operand = evaluate(interp, *e.left);
  return unary_value(e.op.kind, operand);
}

[[gnu::always_inline]] inline Value index_lookup(const Value &object,
                                                const Value &index) {
  if (object.is(ValueKind::Array) && index.is(ValueKind::Number)) {
    const std::vector<Value> &items = object.as_array();
    uint64_t i = static_cast<uint64_t>(index.as_number()); // negatives miss
    return i < items.size() ? items[i] : Value();
  }
  if (object.is(ValueKind::Dict) && index.is(ValueKind::String)) {
    const Value *found = object.as_dict().find(
        *static_cast<const TextObject *>(index.object()));
    return found ? *found : Value();
  }
  return Value();
}

} // namespace

Value apply_unary(TokenKind op, const Value &operand) { return unary_value(op, operand); }

Value index_value(const Value &object, const Value &index) {
  return index_lookup(object, index);
}

namespace {

[[gnu::noinline]] Value evaluate_dict(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  Dict dict;
  dict.reserve(e.entries.size());
  for (const ExecDictEntry &entry : e.entries)
    dict.set(entry.first.text, entry.first.hash, evaluate(interp, entry.second));
  return Value::dict(std::move(dict));
}

// A literal whose keys all differ: its table, keys and slots included, is
// laid out once (in the node's `constant`), and each evaluation copies it
// and fills in the values, in order, instead of hashing into a new table.
[[gnu::noinline]] Value evaluate_laid_out_dict(Interpreter &interp,
                                               const ExecExpr &e) {
  check_stack();
  Dict dict = e.constant.as_dict();
  for (size_t i = 0; i < e.entries.size(); ++i)
    dict.set_value_at(i, evaluate(interp, e.entries[i].second));
  return Value::dict(std::move(dict));
}

Evaluator dict_evaluator(const ExecExpr &e) {
  Dict layout;
  layout.reserve(e.entries.size());
  for (const ExecDictEntry &entry : e.entries)
    layout.set(entry.first.text, entry.first.hash, Value());
  // A repeated key is bound by its last entry: the plain way says so.
  if (layout.size() != e.entries.size()) return evaluator_of<evaluate_dict>;
  e.constant = Value::dict(std::move(layout));
  return evaluator_of<evaluate_laid_out_dict>;
}

[[gnu::noinline]] Value evaluate_array(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  std::vector<Value> items;
  items.reserve(e.items.size());
  for (const ExecExpr &item : e.items) items.push_back(evaluate(interp, item));
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

[[gnu::noinline]] Value evaluate_range(Interpreter &interp, const ExecExpr &e) {
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

// A literal's value, made once; false for other nodes.
bool prepare_literal(const ExecExpr &e) {
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
    // A one-character literal shares its payload with the characters slice
    // and split give, so comparing them finds the same payload.
    e.constant = Value::short_text(e.text);
    e.key_hash = hash_text(e.text);
    return true;
  default:
    return false;
  }
}

} // namespace

Shape shape_of(const ExecExpr &e) {
  if (e.kind == ExprKind::Identifier) return Shape::Variable;
  if (!prepare_literal(e)) return Shape::Other;
  return e.kind == ExprKind::Number ? Shape::Integer : Shape::Literal;
}

Value apply_binary_to(ValueTransfer left, TokenKind op, ValueTransfer right) {
  BorrowedValue a(left), b(right);
  return apply_binary(a.get(), op, b.get());
}

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

// Calls `use(left, right)` with the values of two operands, evaluated left
// to right. A leaf is read in place unless something still to be evaluated
// could rebind or release it. The stack is not checked here: see
// kCheckedHeight.
template <Shape L, Shape R, typename Use>
[[gnu::always_inline]] inline auto with_operands(Interpreter &interp, const ExecExpr &l,
                                                const ExecExpr &r,
                           Use use) {
  if constexpr (L != Shape::Other && R != Shape::Other) {
    return use(read_operand<L>(interp, l), read_operand<R>(interp, r));
  } else if constexpr (L == Shape::Other) {
    Value left = evaluate(interp, l);
    if constexpr (R == Shape::Other) {
      Value right = evaluate(interp, r);
      return use(left, right);
    } else {
      return use(left, read_operand<R>(interp, r));
    }
  } else if constexpr (L == Shape::Literal || L == Shape::Integer) {
    Value right = evaluate(interp, r);
    return use(read_operand<L>(interp, l), right);
  } else {
    Value left = read_operand<L>(interp, l);
    Value right = evaluate(interp, r);
    return use(left, right);
  }
}

// Both operands always run, `and` and `or` included: the language has no
// short-circuit evaluation.
template <TokenKind Op, Shape L, Shape R>
Value evaluate_binary(Interpreter &interp, const ExecExpr &e) {
  return with_operands<L, R>(interp, *e.left, *e.right, combine<Op>);
}

// `xs[i]`, `d.key`, `d["key"]`: nothing is copied but the element read, and
// a literal key's hash is computed once.
template <Shape O, Shape K>
Value evaluate_index(Interpreter &interp, const ExecExpr &e) {
  if constexpr (K == Shape::Literal) {
    const ExecExpr &key = *e.right;
    if (key.kind == ExprKind::String) {
      auto lookup = [&key](const Value &object, const Value &) {
        if (!object.is(ValueKind::Dict)) return Value();
        const Value *found = object.as_dict().find(key.text, key.key_hash);
        return found ? *found : Value();
      };
      return with_operands<O, K>(interp, *e.left, key, lookup);
    }
  }
  return with_operands<O, K>(interp, *e.left, *e.right, index_lookup);
}

template <template <Shape, Shape> class Pick, typename Chosen = Evaluator>
Chosen by_shapes(Shape left, Shape right) {
  auto second = [&]<Shape L>() -> Chosen {
    switch (right) {
    case Shape::Variable: return Pick<L, Shape::Variable>::value;
    case Shape::Literal: return Pick<L, Shape::Literal>::value;
    case Shape::Integer: return Pick<L, Shape::Integer>::value;
    case Shape::Other: break;
    }
    return Pick<L, Shape::Other>::value;
  };
  switch (left) {
  case Shape::Variable: return second.template operator()<Shape::Variable>();
  case Shape::Literal: return second.template operator()<Shape::Literal>();
  case Shape::Integer: return second.template operator()<Shape::Integer>();
  case Shape::Other: break;
  }
  return second.template operator()<Shape::Other>();
}

template <TokenKind Op> struct PickBinary {
  template <Shape L, Shape R> struct For {
    static constexpr Evaluator value = evaluator_of<evaluate_binary<Op, L, R>>;
  };
};

// A comparison as a condition: whether it holds, without a Boolean value
// made in between.
template <TokenKind Op>
[[gnu::always_inline]] inline bool holds(const Value &a, const Value &b) {
  return is_truthy(combine<Op>(a, b));
}

template <TokenKind Op, Shape L, Shape R>
bool test_binary(Interpreter &interp, const ExecExpr &e) {
  return with_operands<L, R>(interp, *e.left, *e.right, holds<Op>);
}

template <TokenKind Op> struct PickTest {
  template <Shape L, Shape R> struct For {
    static constexpr Condition value = test_binary<Op, L, R>;
  };
};

template <Shape O, Shape K> struct PickIndex {
  static constexpr Evaluator value = evaluator_of<evaluate_index<O, K>>;
};

// An operator or index node lower than this leaves the stack check to a
// node above it: between two checks there are then at most this many of
// their frames, well within the headroom kept below the checked floor.
// A taller node checks before it runs what was chosen for it.
constexpr uint16_t kCheckedHeight = 32;

ValueTransfer evaluate_checked(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  return e.checked(interp, e);
}

Evaluator checked_if_tall(const ExecExpr &e, Evaluator chosen) {
  if (e.height < kCheckedHeight) return chosen;
  e.checked = chosen;
  return evaluate_checked;
}

Evaluator index_evaluator(const ExecExpr &e) {
  return by_shapes<PickIndex>(shape_of(*e.left), shape_of(*e.right));
}

Value evaluate_unknown_operator(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  evaluate(interp, *e.left);
  evaluate(interp, *e.right);
  return Value();
}

Evaluator binary_evaluator(const ExecExpr &e) {
  if (Evaluator fused = fused_evaluator(e)) return fused;
  Shape left = shape_of(*e.left), right = shape_of(*e.right);
  switch (e.op.kind) {
#define TOVIK_BINARY_CASE(name)                                              \
  case TokenKind::name:                                                        \
    return by_shapes<PickBinary<TokenKind::name>::template For>(left, right);
    TOVIK_BINARY_OPERATORS(TOVIK_BINARY_CASE)
#undef TOVIK_BINARY_CASE
  default: return evaluator_of<evaluate_unknown_operator>;
  }
}

bool test_value(Interpreter &interp, const ExecExpr &e) {
  return is_truthy(evaluate(interp, e));
}

bool is_comparison(const ExecExpr &e) {
  if (e.kind != ExprKind::BinaryOp) return false;
  switch (e.op.kind) {
  case TokenKind::Equal:
  case TokenKind::NotEqual:
  case TokenKind::Less:
  case TokenKind::Greater:
  case TokenKind::LessEqual:
  case TokenKind::GreaterEqual: return true;
  default: return false;
  }
}

// `a < b and c < d`: a comparison gives a Boolean or null, and `and` of two
// such is true exactly when both are true Booleans, so the condition holds
// when both sides hold. Both are tested, left first, as both are evaluated.
bool test_both(Interpreter &interp, const ExecExpr &e) {
  bool left = test(interp, *e.left);
  bool right = test(interp, *e.right);
  return left && right;
}

// `a or b`: `or` gives true only for two Booleans of which one is true, and
// null or false for anything else, so the condition tests just that. Both
// sides are evaluated, left first, as always.
bool test_either(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  Value left = evaluate(interp, *e.left);
  Value right = evaluate(interp, *e.right);
  return left.is(ValueKind::Boolean) && right.is(ValueKind::Boolean) &&
         (left.as_boolean() || right.as_boolean());
}

Condition choose_condition(const ExecExpr &e) {
  if (general_evaluators_only()) return test_value;
  if (e.kind == ExprKind::BinaryOp && e.op.kind == TokenKind::And &&
      is_comparison(*e.left) && is_comparison(*e.right))
    return test_both;
  if (e.kind == ExprKind::BinaryOp && e.op.kind == TokenKind::Or)
    return test_either;
  if (!is_comparison(e) || e.height >= kCheckedHeight) return test_value;
  if (Condition fused = fused_condition(e)) return fused;
  Shape left = shape_of(*e.left), right = shape_of(*e.right);
  switch (e.op.kind) {
#define TOVIK_TEST_CASE(name)                                                  \
  case TokenKind::name:                                                        \
    return by_shapes<PickTest<TokenKind::name>::template For, Condition>(left, \
                                                                       right);
    TOVIK_TEST_CASE(Equal)
    TOVIK_TEST_CASE(NotEqual)
    TOVIK_TEST_CASE(Less)
    TOVIK_TEST_CASE(Greater)
    TOVIK_TEST_CASE(LessEqual)
    TOVIK_TEST_CASE(GreaterEqual)
#undef TOVIK_TEST_CASE
  default: return test_value;
  }
}

} // namespace

bool test_first(Interpreter &interp, const ExecExpr &e) {
  e.condition = choose_condition(e);
  return e.condition(interp, e);
}

namespace {

Value evaluate_literal(Interpreter &, const ExecExpr &e) { return e.constant; }

Value evaluate_variable(Interpreter &interp, const ExecExpr &e) {
  return get_variable(interp, e.symbol);
}

Value evaluate_call(Interpreter &interp, const ExecExpr &e) {
  return call_function(interp, e);
}

} // namespace

ValueTransfer evaluate_first(Interpreter &interp, const ExecExpr &e) {
  e.evaluator = choose_evaluator(e);
  return e.evaluator(interp, e);
}

const Value *literal_value(const ExecExpr &e) {
  if (e.evaluator == evaluate_first) e.evaluator = choose_evaluator(e);
  return e.evaluator == evaluator_of<evaluate_literal> ? &e.constant : nullptr;
}

namespace {

// The general evaluator of each kind: the language's rules for it, with no
// shortcut, and the warnings' notes on the paths that give null.
Evaluator general_evaluator(const ExecExpr &e) {
  if (Evaluator noting = warning_evaluator(e)) return noting;
  switch (e.kind) {
  case ExprKind::Array: return evaluator_of<evaluate_array>;
  case ExprKind::Dict: return evaluator_of<evaluate_dict>;
  case ExprKind::Range: return evaluator_of<evaluate_range>;
  default: prepare_literal(e); return evaluator_of<evaluate_literal>;
  }
}

} // namespace

// Each node's evaluator is chosen on its first evaluation, from its kind and
// for operators from the operator and the operands' shapes, so later
// evaluations go straight to the code for that node.
Evaluator choose_evaluator(const ExecExpr &e) {
  if (general_evaluators_only()) [[unlikely]]
    return general_evaluator(e);
  switch (e.kind) {
  case ExprKind::Number:
  case ExprKind::Float:
  case ExprKind::String:
  case ExprKind::Boolean:
    prepare_literal(e);
    return evaluator_of<evaluate_literal>;
  case ExprKind::Identifier: return evaluator_of<evaluate_variable>;
  case ExprKind::BinaryOp: return checked_if_tall(e, binary_evaluator(e));
  case ExprKind::UnaryOp: return evaluator_of<evaluate_unary>;
  case ExprKind::Call:
    if (Evaluator special = call_evaluator(e)) return special;
    return evaluator_of<evaluate_call>;
  case ExprKind::Array: return evaluator_of<evaluate_array>;
  case ExprKind::Dict: return dict_evaluator(e);
  case ExprKind::Index: return checked_if_tall(e, index_evaluator(e));
  case ExprKind::Range: return evaluator_of<evaluate_range>;
  }
  return evaluator_of<evaluate_literal>;
}

} // namespace tovik
