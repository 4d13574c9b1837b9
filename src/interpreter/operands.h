// How an operator node reads its operands, shared by the evaluators that
// pick their code by operand shape (evaluate.cpp, evaluate_fused.cpp).
#pragma once

#include "interpreter/exec_tree.h"
#include "interpreter/interpreter.h"

namespace tovik {

// How a binary node reads an operand, decided once per node: a variable in
// its own storage, a literal's cached value, an integer literal (whose kind
// the operator's code then knows without testing it), or anything else
// evaluated.
enum class Shape { Variable, Literal, Integer, Other };

template <Shape S>
[[gnu::always_inline]] inline decltype(auto) read_operand(Interpreter &interp,
                                                          const ExecExpr &e) {
  if constexpr (S == Shape::Variable) {
    return read_variable(interp, e.symbol);
  } else if constexpr (S == Shape::Integer) {
    return Value::number(e.number);
  } else {
    static_assert(S == Shape::Literal);
    return static_cast<const Value &>(e.constant);
  }
}

// A node's shape; a literal's value is made on the way.
Shape shape_of(const ExecExpr &e);

// The evaluator of an operator with an operand that is itself an operator
// on two leaves, computed in place; null for other operators.
Evaluator fused_evaluator(const ExecExpr &e);
// The same for a comparison used as a condition.
Condition fused_condition(const ExecExpr &e);

} // namespace tovik
