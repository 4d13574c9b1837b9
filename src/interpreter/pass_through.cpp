#include "interpreter/pass_through.h"

#include <array>

#include "interpreter/arithmetic.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/function.h"
#include "interpreter/interpreter.h"
#include "support/halt.h"
#include "support/limits.h"

namespace tovik {

namespace {

// The most operands a pass-through call takes; more go the ordinary way.
constexpr size_t kMaxOperands = 4;

bool is_parameter(const std::vector<Symbol> &params, Symbol symbol) {
  for (Symbol p : params)
    if (p == symbol) return true;
  return false;
}

// A literal, or a name the function binds as a parameter: what it reads does
// not depend on the caller's variables, provided the parameter gets an
// argument (checked for each call).
bool reads_only_parameters(const std::vector<Symbol> &params, const ExecExpr &e) {
  if (e.kind == ExprKind::Identifier) return is_parameter(params, e.symbol);
  return literal_value(e) != nullptr;
}

bool is_first_parameter(const std::vector<Symbol> &params, const ExecExpr &e) {
  return e.kind == ExprKind::Identifier && e.symbol == params[0];
}

// The argument that `symbol`, a parameter name, reads in the call: that of
// the last parameter of the name, since a repeated name rebinds it. Null
// when no parameter of that name got an argument.
const Value *argument_of(const FunctionObject &function, std::span<Value> args,
                         Symbol symbol, size_t &index) {
  size_t bound = std::min(function.param_symbols.size(), args.size());
  for (size_t i = bound; i-- > 0;)
    if (function.param_symbols[i] == symbol) {
      index = i;
      return &args[i];
    }
  return nullptr;
}

// What an operand of the body reads, or null when it cannot be told without
// running the call.
const Value *operand_value(const FunctionObject &function, std::span<Value> args,
                           const ExecExpr &e) {
  size_t index = 0;
  if (e.kind == ExprKind::Identifier) return argument_of(function, args, e.symbol, index);
  return literal_value(e);
}

// A parameter declared global is bound among the globals, and reading it
// may find some caller's binding instead: such calls go the ordinary way.
bool binds_a_declared_global(const Interpreter &interp, const FunctionObject &function,
                             size_t bound) {
  for (size_t i = 0; i < bound; ++i) {
    Symbol symbol = function.param_symbols[i];
    if (symbol < interp.slot_count && interp.slots[symbol].declared_global) return true;
  }
  return false;
}

} // namespace

PassThrough find_pass_through(const std::vector<Symbol> &params,
                              const std::vector<ExecStmt> &body) {
  if (params.empty() || body.size() != 1 || body[0].kind != StmtKind::Return ||
      !body[0].has_expr)
    return {};
  const ExecExpr &e = body[0].expr;
  if (e.kind == ExprKind::Call) {
    if (!calls_builtin(e)) return {};
    auto id = static_cast<BuiltinId>(e.callee);
    if ((id != BuiltinId::push && id != BuiltinId::concat) || e.items.empty() ||
        e.items.size() > kMaxOperands || !is_first_parameter(params, e.items[0]))
      return {};
    for (size_t i = 1; i < e.items.size(); ++i)
      if (!reads_only_parameters(params, e.items[i])) return {};
    return {&e};
  }
  if (e.kind == ExprKind::BinaryOp && e.op.kind == TokenKind::Plus &&
      is_first_parameter(params, *e.left) && reads_only_parameters(params, *e.right))
    return {&e};
  return {};
}

std::optional<Value> call_pass_through(Interpreter &interp,
                                       const FunctionObject &function,
                                       std::span<Value> args, Symbol assign_to) {
  const ExecExpr &e = *function.pass_through.expr;
  size_t bound = std::min(function.param_symbols.size(), args.size());
  size_t first = 0;
  // The first operand must read the first argument, the one the variable
  // was passed as.
  if (!argument_of(function, args, function.param_symbols[0], first) || first != 0 ||
      !args[0].object() || binds_a_declared_global(interp, function, bound))
    return std::nullopt;
  bool is_call = e.kind == ExprKind::Call;
  std::array<const Value *, kMaxOperands> rest{};
  size_t count = is_call ? e.items.size() - 1 : 1;
  for (size_t i = 0; i < count; ++i) {
    rest[i] = operand_value(function, args, is_call ? e.items[i + 1] : *e.right);
    if (!rest[i]) return std::nullopt; // a parameter left unbound
  }
  Value *slot = assignable_slot(interp, assign_to);
  if (!slot || slot->object() != args[0].object()) return std::nullopt;

  // As the call would on its way in.
  halt_if_interrupted();
  if (!is_call) {
    Value right = *rest[0]; // a copy: it may be the first argument itself
    if (!args[0].is(ValueKind::String) || !right.is(ValueKind::String))
      return combine<TokenKind::Plus>(args[0], right);
    // Checked before the variable lets go of its text.
    check_text_length(args[0].as_text().size() + right.as_text().size());
    *slot = Value();
    Value text = std::move(args[0]);
    text.mutable_text() += right.as_text();
    return text;
  }
  std::array<Value, kMaxOperands> operands;
  // Copied before the first argument moves: one of them may be it.
  for (size_t i = 0; i < count; ++i) operands[i + 1] = *rest[i];
  operands[0] = std::move(args[0]);
  return call_builtin_for(interp, e, std::span<Value>(operands.data(), count + 1),
                          assign_to);
}

} // namespace tovik
