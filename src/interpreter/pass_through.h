// Functions that only hand their first parameter to push, concat or `+`:
// `def add(a, v) { return push(a, v) }`, `def wrap(s, t) { return s + t }`.
//
// For `x = f(x, ...)` with such an f, the caller's variable, the argument,
// the parameter and the builtin's operand would each hold the payload, so
// push would copy the array and `+` the text, and building through the
// helper would cost time quadratic in the size. The body reads nothing but
// its parameters and literals, so it is computed straight from the
// arguments, with the variable's payload handed over as the builtin form
// `x = push(x, v)` does: the result is the same, and nothing else could
// have seen the variable while it was empty.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "interpreter/exec_tree.h"
#include "interpreter/value.h"
#include "lexer/symbol.h"

namespace tovik {

struct Interpreter;
struct FunctionObject;
struct LocalBinding;

// The most operands a pass-through call takes; more go the ordinary way.
inline constexpr size_t kMaxPassThroughOperands = 4;

struct PassThrough {
  // The body is one `return` of a call of push or concat, or of a `+`,
  // whose first operand is the first parameter.
  bool applies = false;
  // Where each operand after the first comes from, decided with the body:
  // the argument of parameter `from[i]` (the last of its name, since a
  // repeated name rebinds it), or the literal `literal[i]` when from[i] < 0.
  uint8_t rest = 0;
  std::array<int8_t, kMaxPassThroughOperands> from{};
  std::array<Value, kMaxPassThroughOperands> literal{};
  // Arguments the operands need: with fewer, a parameter they read is
  // unbound and reads some caller's variable instead.
  uint8_t arguments_needed = 1;
};

// The pass-through form of a function with these parameters and body.
PassThrough find_pass_through(const std::vector<Symbol> &params,
                              const std::vector<ExecStmt> &body);

// The result of calling `function` (whose pass_through is set) on the
// evaluated arguments `args` for `assign_to = function(assign_to, ...)`,
// when assign_to's current binding holds the first argument's payload and
// computing it directly is exact; nothing otherwise, and nothing has
// changed. A halt on the way leaves the variable as it was.
std::optional<Value> call_pass_through(Interpreter &interp,
                                       const FunctionObject &function,
                                       std::span<LocalBinding> args,
                                       Symbol assign_to);

} // namespace tovik
