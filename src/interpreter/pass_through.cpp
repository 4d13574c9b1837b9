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

// The first parameter, named only once: its argument is then what the body's
// first operand reads.
bool is_first_parameter(const std::vector<Symbol> &params, const ExecExpr &e) {
  if (e.kind != ExprKind::Identifier || e.symbol != params[0]) return false;
  for (size_t i = 1; i < params.size(); ++i)
    if (params[i] == params[0]) return false;
  return true;
}

// The position of the last parameter named `symbol` (a repeated name is
// bound to the argument of its last occurrence), or -1.
ptrdiff_t last_parameter(const std::vector<Symbol> &params, Symbol symbol) {
  for (size_t i = params.size(); i-- > 0;)
    if (params[i] == symbol) return static_cast<ptrdiff_t>(i);
  return -1;
}

// Records where the operand `e` (after the first) comes from; false when
// that cannot be told without running the call.
bool add_operand(PassThrough &pass, const std::vector<Symbol> &params,
                 const ExecExpr &e) {
  if (!reads_only_parameters(params, e)) return false;
  int8_t from = -1;
  if (e.kind == ExprKind::Identifier) {
    ptrdiff_t position = last_parameter(params, e.symbol);
    // A parameter beyond what the index can hold takes the ordinary way;
    // told before narrowing, which would wrap (parameter 257 reading 1).
    if (position < 0 || position >= INT8_MAX) return false;
    from = static_cast<int8_t>(position);
    pass.arguments_needed =
        std::max<uint8_t>(pass.arguments_needed, static_cast<uint8_t>(from + 1));
  } else {
    pass.literal[pass.rest] = *literal_value(e);
  }
  pass.from[pass.rest++] = from;
  return true;
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
  PassThrough pass;
  if (e.kind == ExprKind::Call) {
    if (!calls_builtin(e)) return {};
    auto id = static_cast<BuiltinId>(e.callee);
    if ((id != BuiltinId::push && id != BuiltinId::concat) || e.items.empty() ||
        e.items.size() > kMaxPassThroughOperands || !is_first_parameter(params, e.items[0]))
      return {};
    for (size_t i = 1; i < e.items.size(); ++i)
      if (!add_operand(pass, params, e.items[i])) return {};
  } else if (e.kind == ExprKind::BinaryOp && e.op.kind == TokenKind::Plus) {
    if (!is_first_parameter(params, *e.left) || !add_operand(pass, params, *e.right))
      return {};
  } else {
    return {};
  }
  pass.applies = true;
  return pass;
}

std::optional<Value> call_pass_through(Interpreter &interp,
                                       const FunctionObject &function,
                                       std::span<LocalBinding> args,
                                       Symbol assign_to) {
  const PassThrough &pass = function.pass_through;
  if (args.size() < pass.arguments_needed) return std::nullopt;
  Value &first = args[0].value;
  if (!first.object() ||
      binds_a_declared_global(interp, function,
                              std::min<size_t>(function.param_count, args.size())))
    return std::nullopt;
  Value *slot = assignable_slot(interp, assign_to);
  if (!slot || slot->object() != first.object()) return std::nullopt;
  auto operand = [&](size_t i) -> const Value & {
    return pass.from[i] >= 0 ? args[static_cast<size_t>(pass.from[i])].value
                             : pass.literal[i];
  };

  // As the call would on its way in.
  halt_if_interrupted();
  const ExecExpr &e = function.body[0].expr;
  if (e.kind != ExprKind::Call) {
    Value right = operand(0); // a copy: it may be the first argument itself
    if (!first.is(ValueKind::String) || !right.is(ValueKind::String))
      return combine<TokenKind::Plus>(first, right);
    first.append_text_of(*slot, right);
    return std::move(first);
  }
  std::array<Value, kMaxPassThroughOperands> operands;
  // Copied before the first argument moves: one of them may be it.
  for (size_t i = 0; i < pass.rest; ++i) operands[i + 1] = operand(i);
  operands[0] = std::move(first);
  // The variable lets go of the payload, so the builtin holds the only
  // reference and grows it in place; a halt gives it back.
  *slot = Value();
  try {
    return call_builtin_id(static_cast<BuiltinId>(e.callee),
                           std::span<Value>(operands.data(), pass.rest + 1u),
                           interp.graphics);
  } catch (const Halt &) {
    *slot = std::move(operands[0]);
    throw;
  }
}

} // namespace tovik
