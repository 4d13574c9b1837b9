// The interpreter record and the operations that run a program.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "graphics/context.h"
#include "interpreter/binding_stack.h"
#include "interpreter/dict.h"
#include "interpreter/exec_tree.h"
#include "interpreter/trace.h"
#include "interpreter/value.h"
#include "lexer/symbol.h"
#include "support/page_allocator.h"

namespace tovik {

// Module exports are a map from item name to value; they are kept as Dict
// values so that caching and binding a module is a reference-count bump.
using ModuleExports = Dict;

// Scopes use shallow binding: every name has one current local binding,
// found in O(1), and a call's bindings are undone when it returns. The
// results are exactly those of searching a stack of per-call scopes from
// the innermost outwards, at a cost that does not grow with call depth.
// Each slot points at the value a read of its name finds (the innermost
// local binding, else the global, which is null while unbound), so a read
// is one load past the slot. Whatever moves slots or bindings relinks those
// pointers (relink_variables).
// Padded to 32 bytes, as the bindings are: indexing is then a shift, on the
// path of every variable access.
struct alignas(32) VariableSlot {
  int32_t local = -1; // index into `bindings`, or -1
  bool has_global = false;
  bool declared_global = false; // named by a `global` statement
  Value *current = nullptr;     // the local binding's value, else `&global`
  Value global;
};

// A program's interpreter starts with a slot for every name known so far and
// room for a few hundred bindings; a module's starts empty and grows to what
// its code binds.
enum class InterpreterSize { Full, Lean };

struct Interpreter {
  // The bindings of every call in progress, innermost last; those of the
  // current call begin at `frame_base`. `call_depth` is 0 at top level.
  BindingStack bindings;
  int32_t frame_base = 0;
  GraphicsContext graphics;
  // The value of the `return` travelling out (Completion::Return).
  Value return_value;
  // A module's top-level `return` does not end the module: the rest of its
  // statements run with the value still pending, so each block they run
  // stops after its next statement and the next call returns that value.
  // Only a module's interpreter ever raises this.
  bool return_pending = false;
  // Globals and global_names, by symbol.
  std::vector<VariableSlot, PageAllocator<VariableSlot>> slots;
  Symbol slot_count = 0;           // slots.size(), kept beside it for speed
  Dict modules;                    // name or alias -> Dict of exports
  Dict module_cache;               // module name -> Dict of exports

  // Evaluated call arguments, kept on one stack to spare allocations.
  std::vector<Value> arguments;
  uint32_t call_depth = 0;
  InterpreterSize size;

  explicit Interpreter(InterpreterSize size = InterpreterSize::Full);
  ~Interpreter();
  Interpreter(const Interpreter &) = delete;
  Interpreter &operator=(const Interpreter &) = delete;
};

// Process-wide switch for trace lines; set once before a script runs.
extern bool debug_enabled;

// Variables. Lookups and bindings are on every hot path, so their common
// cases are inline.
Value get_variable(Interpreter &interp, std::string_view name);

// What every name reads when it has no slot yet.
extern const Value kUnboundValue;

// The value a read of `symbol` finds: its current binding (innermost call
// first, then the globals), or null when it is unbound.
[[gnu::always_inline]] inline const Value &read_variable(const Interpreter &interp,
                                                         Symbol symbol) {
  if (symbol >= interp.slot_count) [[unlikely]] return kUnboundValue;
  return *interp.slots[symbol].current;
}

// The storage of `symbol`'s current binding, or null when it is unbound.
inline const Value *find_variable(const Interpreter &interp, Symbol symbol) {
  if (symbol >= interp.slot_count) return nullptr;
  const VariableSlot &slot = interp.slots[symbol];
  return slot.local >= 0 || slot.has_global ? slot.current : nullptr;
}

inline Value get_variable(Interpreter &interp, Symbol symbol) {
  return read_variable(interp, symbol);
}

// Points every slot and binding at where its values live now: after the
// slots or the bindings moved.
void relink_variables(Interpreter &interp);
// Room for `more` bindings without moving them on the way.
void grow_bindings(Interpreter &interp, size_t more);
inline void reserve_bindings(Interpreter &interp, size_t more) {
  if (interp.bindings.room() < more) [[unlikely]]
    grow_bindings(interp, more);
}

// The out-of-line half of set_variable.
void grow_slots(Interpreter &interp, Symbol symbol);

inline void push_local(Interpreter &interp, Symbol symbol, Value value) {
  reserve_bindings(interp, 1);
  VariableSlot &slot = interp.slots[symbol];
  auto index = static_cast<int32_t>(interp.bindings.size());
  LocalBinding &binding =
      interp.bindings.push(symbol, slot.local, slot.current, std::move(value));
  slot.local = index;
  slot.current = &binding.value;
}

// Binds `symbol` in the current call (or globally, at top level or after a
// `global` statement).
// Takes the value's words, so that the caller's value can stay in registers.
void set_variable_slow(Interpreter &interp, Symbol symbol, ValueTransfer value);

// The value of `symbol`'s binding made earlier in this same call, which a
// write replaces where it lies; null when a write would go elsewhere. At top
// level no name has a local binding (only calls link them), so the frame
// test alone sends top-level assignments to the globals.
[[gnu::always_inline]] inline Value *own_binding(Interpreter &interp, Symbol symbol) {
  if (symbol >= interp.slot_count) [[unlikely]] return nullptr;
  VariableSlot &slot = interp.slots[symbol];
  if (slot.local >= interp.frame_base && !slot.declared_global) [[likely]]
    return slot.current;
  return nullptr;
}

// The common case inline: a name already bound earlier in this same call.
// (Written out rather than through own_binding: GCC lays the hot paths out
// better so.)
[[gnu::always_inline]] inline void set_variable(Interpreter &interp,
                                                Symbol symbol, Value value) {
  if (symbol < interp.slot_count) [[likely]] {
    VariableSlot &slot = interp.slots[symbol];
    if (slot.local >= interp.frame_base && !slot.declared_global) [[likely]] {
      *slot.current = std::move(value);
      return;
    }
  }
  set_variable_slow(interp, symbol, value.release());
}

void declare_global(Interpreter &interp, Symbol symbol);
void bind_global(Interpreter &interp, Symbol symbol, Value value);
// Where `symbol`'s current binding lives, when set_variable would write that
// same place; null otherwise. Used to update a variable in place.
Value *assignable_slot(Interpreter &interp, Symbol symbol);
// Every bound global, for module exports.
template <typename Visit> void for_each_global(Interpreter &interp, Visit &&v) {
  for (Symbol s = 0; s < interp.slots.size(); ++s)
    if (interp.slots[s].has_global) v(s, interp.slots[s].global);
}
// The bound slots of an interpreter that waits for a module it uses to load,
// for as long as this lives. A module's slots are indexed by process-wide
// symbols, so a chain of waiting modules would otherwise hold a table about
// as long as all their names together, each. Only a lean interpreter's are
// moved aside; a full one keeps its table.
// The slots come back however the load ends: a halt unwinds through the
// calls in progress in `interp`, and closing their scopes writes to the
// slots.
class ParkedSlots {
public:
  explicit ParkedSlots(Interpreter &interp);
  ~ParkedSlots();
  ParkedSlots(const ParkedSlots &) = delete;
  ParkedSlots &operator=(const ParkedSlots &) = delete;

private:
  Interpreter &m_interp;
  std::vector<std::pair<Symbol, VariableSlot>> m_bound;
  size_t m_table_size = 0;
};
// Opens the scope of a user-function call; returns what pop_scope needs to
// close it.
inline int32_t push_scope(Interpreter &interp) {
  int32_t outer = interp.frame_base;
  interp.frame_base = static_cast<int32_t>(interp.bindings.size());
  ++interp.call_depth;
  return outer;
}

inline void pop_scope(Interpreter &interp, int32_t outer) {
  // Unlinked innermost first, so a name bound twice gets its outer binding
  // back; each value is let go once its slot no longer points at it.
  LocalBinding *start = interp.bindings.data() + interp.frame_base;
  LocalBinding *b = interp.bindings.end();
  interp.bindings.truncate_unchecked(static_cast<uint32_t>(interp.frame_base));
  interp.frame_base = outer;
  --interp.call_depth;
  while (b != start) {
    --b;
    VariableSlot &slot = interp.slots[b->symbol];
    slot.local = b->previous;
    slot.current = b->previous_current;
    b->~LocalBinding();
  }
}

// Evaluation and execution.
Evaluator choose_evaluator(const ExecExpr &expr);
// A literal's value, or null when `expr` is not a literal.
const Value *literal_value(const ExecExpr &expr);
inline Value evaluate(Interpreter &interp, const ExecExpr &expr) {
  return Value::adopt(expr.evaluator(interp, expr));
}
inline bool test(Interpreter &interp, const ExecExpr &expr) {
  return expr.condition(interp, expr);
}
// A range bound as an integer: Floats truncate toward zero, saturating, NaN
// gives 0. False when the value is not a number.
bool range_bound(const Value &value, int64_t &out);
// What a unary operator and indexing give for evaluated operands.
Value apply_unary(TokenKind op, const Value &operand);
Value index_value(const Value &object, const Value &index);
Executor choose_executor(const ExecStmt &stmt);
// For `x = b(...)`: true when b is a builtin that only computes and no
// argument reads x, so x's old value may be let go before the call.
bool replaces_without_reading(const ExecStmt &assignment);
inline Completion execute(Interpreter &interp, const ExecStmt &stmt) {
  return stmt.executor(interp, stmt);
}
// run_block for a block entered with a module's return pending.
Completion run_block_pending(Interpreter &interp,
                             const std::vector<ExecStmt> &stmts);
// Runs the statements in order until one ends other than normally.
// A pending return is raised only between a module's top-level statements,
// never inside a block, so a block entered without one runs without testing
// for it.
inline Completion run_block(Interpreter &interp,
                            const std::vector<ExecStmt> &stmts) {
  if (interp.return_pending) [[unlikely]] return run_block_pending(interp, stmts);
  for (const ExecStmt &s : stmts) {
    Completion c = execute(interp, s);
    if (c != Completion::Normal) [[unlikely]] return c;
  }
  return Completion::Normal;
}
// Compiles `program` and runs it in a new interpreter.
void run_program(std::vector<Stmt> program, bool debug);

// Calls.
// `assign_to`: the variable the call's result will be assigned to, when the
// statement is `x = f(x, ...)`; lets push and concat grow x in place.
inline constexpr Symbol kNoSymbol = 0xffffffffu;
Value call_function(Interpreter &interp, const ExecExpr &call,
                    Symbol assign_to = kNoSymbol);
// call_function for `x = f(x, ...)`, with a fast path for builtins.
// A builtin call whose result will be bound to `assign_to` (or to nothing:
// kNoSymbol): push and concat may take over the variable's payload, and give
// it back if the call halts.
Value call_builtin_for(Interpreter &interp, const ExecExpr &call,
                       std::span<Value> args, Symbol assign_to);
Value call_for_assignment(Interpreter &interp, const ExecExpr &call,
                          Symbol assign_to);
Value call_user_function(Interpreter &interp, const FunctionObject &function,
                         std::span<Value> args);
// `x = set(x, k, v)`, `x = remove(x, k)`, `x = insert(x, i, v)` with every
// argument after x a leaf other than x (a variable or a literal), and no
// trace: the shape update_through_library serves.
bool is_library_update(const ExecExpr &call, Symbol assign_to);
// Carries out such a statement with x's value handed to the function where
// it lies and the result put back in its place; false, with nothing done,
// when the general way must serve (the script binds the name to a function
// of its own, or x is not bound where the assignment writes).
bool update_through_library(Interpreter &interp, const ExecExpr &call,
                            Symbol assign_to);
// Whether `call` names one of the builtins.
bool calls_builtin(const ExecExpr &call);
// The evaluator of a call to a builtin or a plain name; null for the rest,
// which call_function serves.
Evaluator call_evaluator(const ExecExpr &call);

// Modules.
std::optional<Value> load_module(Interpreter &interp, const std::string &name);
Completion execute_use(Interpreter &interp, const ExecStmt &use);
Value sdl2_module_exports();

} // namespace tovik
