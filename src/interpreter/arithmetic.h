// The arithmetic and comparison operators on two integers or two floats,
// one instance per operator so that a node whose operator is known calls
// straight into its own operation.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "interpreter/value.h"
#include "lexer/token.h"
#include "support/hash.h"

namespace tovik {

// Integers wrap around on overflow.
inline int64_t wrap_add(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) +
                              static_cast<uint64_t>(b));
}
inline int64_t wrap_sub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) -
                              static_cast<uint64_t>(b));
}
inline int64_t wrap_mul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) *
                              static_cast<uint64_t>(b));
}

// Prints the division message and gives 0.
Value division_by_zero();
Value integer_power(int64_t base, int64_t exponent);

// Float equality is an absolute tolerance, whatever the operands' size.
inline constexpr double kFloatEpsilon = 2.220446049250313e-16;

template <TokenKind Op> inline Value integer_op(int64_t a, int64_t b) {
  using enum TokenKind;
  if constexpr (Op == Plus) return Value::number(wrap_add(a, b));
  else if constexpr (Op == Minus) return Value::number(wrap_sub(a, b));
  else if constexpr (Op == Star) return Value::number(wrap_mul(a, b));
  else if constexpr (Op == Slash) {
    if (b == 0) [[unlikely]] return division_by_zero();
    if (b == -1) [[unlikely]] return Value::number(wrap_sub(0, a)); // MIN / -1
    return Value::number(a / b);
  } else if constexpr (Op == Percent) {
    if (b == 0) [[unlikely]] return division_by_zero();
    if (b == -1) [[unlikely]] return Value::number(0);
    return Value::number(a % b);
  } else if constexpr (Op == Power) return integer_power(a, b);
  else if constexpr (Op == Equal) return Value::boolean(a == b);
  else if constexpr (Op == NotEqual) return Value::boolean(a != b);
  else if constexpr (Op == Less) return Value::boolean(a < b);
  else if constexpr (Op == Greater) return Value::boolean(a > b);
  else if constexpr (Op == LessEqual) return Value::boolean(a <= b);
  else if constexpr (Op == GreaterEqual) return Value::boolean(a >= b);
  else return Value();
}

template <TokenKind Op> inline Value float_op(double a, double b) {
  using enum TokenKind;
  if constexpr (Op == Plus) return Value::real(a + b);
  else if constexpr (Op == Minus) return Value::real(a - b);
  else if constexpr (Op == Star) return Value::real(a * b);
  else if constexpr (Op == Slash) return Value::real(a / b);
  else if constexpr (Op == Percent) return Value::real(std::fmod(a, b));
  else if constexpr (Op == Power) return Value::real(std::pow(a, b));
  else if constexpr (Op == Equal)
    return Value::boolean(std::fabs(a - b) < kFloatEpsilon);
  else if constexpr (Op == NotEqual)
    return Value::boolean(std::fabs(a - b) >= kFloatEpsilon);
  else if constexpr (Op == Less) return Value::boolean(a < b);
  else if constexpr (Op == Greater) return Value::boolean(a > b);
  else if constexpr (Op == LessEqual) return Value::boolean(a <= b);
  else if constexpr (Op == GreaterEqual) return Value::boolean(a >= b);
  else return Value();
}

// Any binary operator on any two values; Null where it does not apply.
Value apply_binary(const Value &left, TokenKind op, const Value &right);
// The same on the words of two values their holders keep.
Value apply_binary_to(ValueTransfer left, TokenKind op, ValueTransfer right);

// `Op` on two values, with the common operand kinds handled inline.
template <TokenKind Op>
[[gnu::always_inline]] inline Value combine(const Value &a, const Value &b) {
  if (a.is(ValueKind::Number) && b.is(ValueKind::Number))
    return integer_op<Op>(a.as_number(), b.as_number());
  if (a.is(ValueKind::Float) && b.is(ValueKind::Float))
    return float_op<Op>(a.as_float(), b.as_float());
  if constexpr (Op == TokenKind::Equal || Op == TokenKind::NotEqual) {
    // Texts compared against literals are mostly short: their bytes are
    // compared in place, and one payload is always equal to itself.
    if (a.is(ValueKind::String) && b.is(ValueKind::String)) {
      // Read straight from the payloads: the kinds are known here.
      const std::string &x = static_cast<const TextObject *>(a.object())->text;
      const std::string &y = static_cast<const TextObject *>(b.object())->text;
      const bool same = a.object() == b.object() ||
                        (x.size() == y.size() &&
                         same_bytes(x.data(), y.data(), x.size()));
      return Value::boolean(Op == TokenKind::Equal ? same : !same);
    }
  }
  if constexpr (Op == TokenKind::And || Op == TokenKind::Or) {
    if (a.is(ValueKind::Boolean) && b.is(ValueKind::Boolean))
      return Value::boolean(Op == TokenKind::And
                                ? a.as_boolean() && b.as_boolean()
                                : a.as_boolean() || b.as_boolean());
  }
  return apply_binary_to(a.peek(), Op, b.peek());
}

// The slow half of combine_held: the held words become a value again.
template <TokenKind Op, bool kHeldLeft>
[[gnu::noinline]] ValueTransfer combine_adopting(ValueTransfer held,
                                                 const Value &other) {
  Value value = Value::adopt(held);
  return (kHeldLeft ? combine<Op>(value, other) : combine<Op>(other, value))
      .release();
}

// `Op` on a value held as words, just made, and another value. Holding
// words rather than a value keeps the common cases in registers: the
// caller lets nothing halt between the making of the held value and this,
// and only the slow half, which takes the words over first, can. The result comes back as words
// too, in registers.
template <TokenKind Op, bool kHeldLeft>
[[gnu::always_inline]] inline ValueTransfer combine_held(ValueTransfer held,
                                                         const Value &other) {
  const auto kind = static_cast<ValueKind>(held.kind);
  if (kind == ValueKind::Number && other.is(ValueKind::Number)) {
    const auto n = static_cast<int64_t>(held.bits);
    return (kHeldLeft ? integer_op<Op>(n, other.as_number())
                      : integer_op<Op>(other.as_number(), n))
        .release();
  }
  if (kind == ValueKind::Float && other.is(ValueKind::Float)) {
    const auto d = std::bit_cast<double>(held.bits);
    return (kHeldLeft ? float_op<Op>(d, other.as_float())
                      : float_op<Op>(other.as_float(), d))
        .release();
  }
  return combine_adopting<Op, kHeldLeft>(held, other);
}

// Every binary operator, for code that picks an instance by the operator.
#define TOVIK_BINARY_OPERATORS(X)                                            \
  X(Plus) X(Minus) X(Star) X(Slash) X(Percent) X(Power) X(Equal) X(NotEqual) \
  X(Less) X(Greater) X(LessEqual) X(GreaterEqual) X(And) X(Or)

} // namespace tovik
