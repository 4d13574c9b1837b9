// The evaluators and executors compiled in when warnings are on: each node
// goes the general way, in the same order and with the same results as its
// fast evaluator, and tells the warning sink where a null came from. The
// fast evaluators know nothing of warnings.
#include "interpreter/warning_evaluators.h"

#include "interpreter/arithmetic.h"
#include "interpreter/interpreter.h"
#include "interpreter/warnings.h"
#include "support/halt.h"
#include "support/limits.h"

namespace tovik {

namespace {

// A value, and whether a null it holds was already explained by a warning
// raised while it was computed: one mistake, one warning.
struct Noted {
  Value value;
  bool explained = false;
};

Noted evaluate_noting(Interpreter &interp, const ExecExpr &e) {
  uint64_t before = warning_events();
  Noted noted;
  noted.value = evaluate(interp, e);
  noted.explained = noted.value.is(ValueKind::Null) && warning_events() != before;
  return noted;
}

bool divides_by_zero(TokenKind op, const Value &left, const Value &right) {
  if (!left.is(ValueKind::Number) || !right.is(ValueKind::Number)) return false;
  if (op == TokenKind::Slash || op == TokenKind::Percent) return right.as_number() == 0;
  if (op == TokenKind::Power) return left.as_number() == 0 && right.as_number() < 0;
  return false;
}

Value combine_noting(Place place, TokenKind op, const Noted &left, const Noted &right) {
  Value result = apply_binary(left.value, op, right.value);
  if (result.is(ValueKind::Null)) {
    if (!left.explained && !right.explained)
      warn_binary(place, op, left.value, right.value);
  } else if (divides_by_zero(op, left.value, right.value)) {
    // The division's own message has been written; this one adds the place.
    warn_division_by_zero(place, op);
  }
  return result;
}

Value evaluate_binary_noting(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  Noted left = evaluate_noting(interp, *e.left);
  Noted right = evaluate_noting(interp, *e.right);
  return combine_noting(operator_place(e), e.op.kind, left, right);
}

Value evaluate_unary_noting(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  Noted operand = evaluate_noting(interp, *e.left);
  Value result = apply_unary(e.op.kind, operand.value);
  if (result.is(ValueKind::Null) && !operand.explained)
    warn_unary(operator_place(e), e.op.kind, operand.value);
  return result;
}

// The language has no null literal: `null` is a name nobody binds, read on
// purpose (`return null`). Only what is then done with it can be a mistake.
bool is_null_idiom(Symbol symbol) {
  static const Symbol null_name = intern("null");
  return symbol == null_name;
}

Value evaluate_variable_noting(Interpreter &interp, const ExecExpr &e) {
  if (const Value *found = find_variable(interp, e.symbol)) return *found;
  if (!is_null_idiom(e.symbol)) warn_unbound(interp, node_place(e), e.symbol);
  return Value();
}

// True when indexing gave null because there was no element, not because
// the element found is null.
bool found_no_element(const Value &object, const Value &key) {
  if (object.is(ValueKind::Array) && key.is(ValueKind::Number))
    return static_cast<uint64_t>(key.as_number()) >= object.as_array().size();
  if (object.is(ValueKind::Dict) && key.is(ValueKind::String))
    return object.as_dict().find(key.as_text()) == nullptr;
  return true;
}

Value evaluate_index_noting(Interpreter &interp, const ExecExpr &e) {
  check_stack();
  Noted object = evaluate_noting(interp, *e.left);
  Noted key = evaluate_noting(interp, *e.right);
  Value result = index_value(object.value, key.value);
  if (result.is(ValueKind::Null) && !object.explained && !key.explained &&
      found_no_element(object.value, key.value))
    warn_index(index_place(e), object.value, key.value);
  return result;
}

// Calls go the general way, where call.cpp reports on their null paths.
Value evaluate_call_noting(Interpreter &interp, const ExecExpr &e) {
  return call_function(interp, e);
}

Completion execute_assign_noting(Interpreter &interp, const ExecStmt &s) {
  set_variable(interp, s.symbol, evaluate(interp, s.expr));
  return Completion::Normal;
}

// The assignments below keep the fast executors' ways with memory, so a
// loop that grows a text or an array stays linear under warnings too.

// `x = f(x, ...)`: push and concat may grow x in place.
Completion execute_assign_call_noting(Interpreter &interp, const ExecStmt &s) {
  set_variable(interp, s.symbol, call_function(interp, s.expr, s.symbol));
  return Completion::Normal;
}

// `x = b(...)` with no argument reading x: x lets go before the call.
Completion execute_replace_noting(Interpreter &interp, const ExecStmt &s) {
  if (Value *slot = assignable_slot(interp, s.symbol)) *slot = Value();
  set_variable(interp, s.symbol, evaluate(interp, s.expr));
  return Completion::Normal;
}

// `x = x + t` and `x op= t`: x is read before t is evaluated, and text
// nobody else shares is appended to in place.
template <TokenKind Op>
void update_noting(Interpreter &interp, Symbol symbol, Place read_at, Place op_at,
                   const ExecExpr &rhs) {
  Noted left;
  if (const Value *held = find_variable(interp, symbol)) {
    left.value = *held;
  } else if (!is_null_idiom(symbol)) {
    uint64_t before = warning_events();
    warn_unbound(interp, read_at, symbol);
    left.explained = warning_events() != before;
  }
  Noted right = evaluate_noting(interp, rhs);
  if (Op == TokenKind::Plus && left.value.is(ValueKind::String) &&
      right.value.is(ValueKind::String)) {
    Value *slot = assignable_slot(interp, symbol);
    if (slot && slot->object() == left.value.object()) {
      left.value.append_text_of(*slot, right.value);
      *slot = std::move(left.value);
      return;
    }
  }
  set_variable(interp, symbol, combine_noting(op_at, Op, left, right));
}

Completion execute_append_noting(Interpreter &interp, const ExecStmt &s) {
  update_noting<TokenKind::Plus>(interp, s.symbol, node_place(*s.expr.left),
                                 operator_place(s.expr), *s.expr.right);
  return Completion::Normal;
}

template <TokenKind Op>
Completion execute_compound_noting(Interpreter &interp, const ExecStmt &s) {
  update_noting<Op>(interp, s.symbol, statement_place(s), statement_place(s), s.expr);
  return Completion::Normal;
}

Executor assign_executor_noting(const ExecStmt &s) {
  const ExecExpr &value = s.expr;
  if (value.kind == ExprKind::BinaryOp && value.op.kind == TokenKind::Plus &&
      value.left->kind == ExprKind::Identifier && value.left->symbol == s.symbol)
    return execute_append_noting;
  if (value.kind == ExprKind::Call && !value.items.empty() &&
      value.items[0].kind == ExprKind::Identifier && value.items[0].symbol == s.symbol)
    return execute_assign_call_noting;
  if (replaces_without_reading(s)) return execute_replace_noting;
  return execute_assign_noting;
}

} // namespace

Evaluator warning_evaluator(const ExecExpr &e) {
  switch (e.kind) {
  case ExprKind::Identifier: return evaluator_of<evaluate_variable_noting>;
  case ExprKind::BinaryOp: return evaluator_of<evaluate_binary_noting>;
  case ExprKind::UnaryOp: return evaluator_of<evaluate_unary_noting>;
  case ExprKind::Index: return evaluator_of<evaluate_index_noting>;
  case ExprKind::Call: return evaluator_of<evaluate_call_noting>;
  default: return nullptr;
  }
}

Executor warning_executor(const ExecStmt &s) {
  switch (s.kind) {
  case StmtKind::Let:
  case StmtKind::Assign: return assign_executor_noting(s);
  case StmtKind::CompoundAssign:
    switch (s.op.kind) {
    case TokenKind::PlusAssign: return execute_compound_noting<TokenKind::Plus>;
    case TokenKind::MinusAssign: return execute_compound_noting<TokenKind::Minus>;
    case TokenKind::StarAssign: return execute_compound_noting<TokenKind::Star>;
    case TokenKind::SlashAssign: return execute_compound_noting<TokenKind::Slash>;
    default: return nullptr;
    }
  default: return nullptr;
  }
}

} // namespace tovik
