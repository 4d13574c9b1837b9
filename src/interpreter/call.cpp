// Calls: resolving a name to the graphics library, a builtin, a user
// function or a builtin-function value, and running user functions.
#include <array>
#include <new>
#include <string>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/function.h"
#include "interpreter/interpreter.h"
#include "interpreter/warnings.h"
#include "support/halt.h"

namespace tovik {

namespace {

// Calls deeper than this stop the run. The native stack would allow more,
// but a runaway recursion should end in well under a second, not after
// filling a gigabyte of stack; real programs stay far below it.
constexpr uint32_t kMaxCallDepth = 200000;

// What a call name denotes never changes for a given Call node (builtins
// cannot be shadowed), so it is decided once and kept in `ExecExpr::callee`:
// a builtin's id, or one of these.
constexpr int16_t kUnresolved = -1;
constexpr int16_t kGraphicsName = 1000; // begins with "sdl2.": the library first
constexpr int16_t kUserName = 1001;     // a plain name, not a builtin
constexpr int16_t kDottedName = 1002;   // m.f: looked up among modules
// A plain name that is also a library function's: kLibraryName plus its
// id. It resolves as any plain name, and reaches the library only where
// that finds nothing to call.
constexpr int16_t kLibraryName = 2000;

bool is_plain_name(int16_t callee) {
  return callee == kUserName || callee >= kLibraryName;
}

int16_t resolve(const ExecExpr &call) {
  std::string_view name = call.text;
  size_t dot = name.find('.');
  if (dot != std::string_view::npos && name.substr(0, dot) == "sdl2")
    return kGraphicsName;
  if (std::optional<BuiltinId> id = find_builtin(name))
    return static_cast<int16_t>(*id);
  if (dot != std::string_view::npos) return kDottedName;
  if (std::optional<LibraryId> id = find_library(name))
    return static_cast<int16_t>(kLibraryName + static_cast<int16_t>(*id));
  return kUserName;
}

// The evaluated arguments of one call, on the interpreter's argument stack;
// popped when the call is over, however it ends.
class ArgumentFrame {
public:
  explicit ArgumentFrame(Interpreter &interp)
      : interp_(interp), base_(interp.arguments.size()) {}
  ~ArgumentFrame() { interp_.arguments.resize(base_); }
  std::span<Value> values() {
    return {interp_.arguments.data() + base_, interp_.arguments.size() - base_};
  }

private:
  Interpreter &interp_;
  size_t base_;
};

// For `x = push(x, v)` and `x = concat(x, ...)`: when the first argument is
// the very payload the variable holds, drop the variable's reference so the
// builtin gets the only one and can grow it in place. The variable is
// rebound to the result straight after, and no script code runs between.
// Returns the emptied variable, or null when nothing was handed over.
Value *hand_over_first_argument(Interpreter &interp, Symbol assign_to,
                                std::span<Value> args) {
  if (assign_to == kNoSymbol || args.empty() || !args[0].object())
    return nullptr;
  Value *slot = assignable_slot(interp, assign_to);
  if (!slot || slot->object() != args[0].object()) return nullptr;
  *slot = Value();
  return slot;
}

} // namespace

Value call_builtin_for(Interpreter &interp, const ExecExpr &call,
                       std::span<Value> args, Symbol assign_to) {
  auto id = static_cast<BuiltinId>(call.callee);
  Value *handed = nullptr;
  if (id == BuiltinId::push || id == BuiltinId::concat)
    handed = hand_over_first_argument(interp, assign_to, args);
  try {
    return call_builtin_id(id, args, interp.graphics);
  } catch (const Halt &) {
    // Out of memory: push and concat check before they take the argument
    // over, so an interactive session keeps the variable's value.
    if (handed) *handed = std::move(args[0]);
    throw;
  }
}

namespace {

// Runs a library function. For `x = set(x, k, v)` and the like the
// variable's payload is handed over as for push; a halt gives it back.
Value run_library(Interpreter &interp, LibraryId id, std::span<Value> args,
                  Symbol assign_to) {
  if (assign_to == kNoSymbol || !library_updates_first_argument(id))
    return call_library(id, args, interp);
  Value *handed = hand_over_first_argument(interp, assign_to, args);
  try {
    return call_library(id, args, interp);
  } catch (...) {
    if (handed && !args[0].is_null()) *handed = std::move(args[0]);
    throw;
  }
}

// A call that reached the library by the general path, with its trace line
// and warning. `warned_before` counts the warnings before the arguments
// were evaluated.
Value call_library_for(Interpreter &interp, const ExecExpr &call,
                       std::span<Value> args, Symbol assign_to,
                       uint64_t warned_before) {
  auto id = static_cast<LibraryId>(call.callee - kLibraryName);
  if (debug_enabled) trace_call(call.text + " is a library function");
  Value result = run_library(interp, id, args, assign_to);
  if (warnings_enabled && result.is_null()) [[unlikely]]
    warn_library_null(call, id, args, warning_events() != warned_before,
                      window_size(interp.graphics).has_value());
  return result;
}

Value call_named_value(Interpreter &interp, const ExecExpr &call,
                       std::span<Value> args, Symbol assign_to = kNoSymbol,
                       uint64_t warned_before = 0) {
  const std::string &name = call.text;
  if (debug_enabled)
    trace_call(name + " is not a builtin, looking for user function");
  // Any dotted name, an `sdl2.` one the graphics library does not know
  // included, is looked up among the modules.
  Value callee = is_plain_name(call.callee) ? get_variable(interp, call.symbol)
                                            : get_variable(interp, name);
  if (debug_enabled)
    trace_call("get_variable(" + name + ") returned: " + to_debug(callee));
  switch (callee.kind()) {
  case ValueKind::BuiltinFunction: {
    std::optional<Value> result =
        call_graphics(callee.as_text(), args, interp.graphics);
    return result ? std::move(*result) : Value();
  }
  case ValueKind::Function: {
    // `callee` keeps the function alive even if its body rebinds the name.
    const FunctionObject &function = callee.as_function();
    if (debug_enabled)
      trace_call("Found function with " +
                 std::to_string(function.params.size()) + " params, calling");
    if (warnings_enabled) [[unlikely]] {
      if (args.size() < function.params.size())
        warn_missing_arguments(call, function, args.size());
      FunctionSourceScope source(function, args.size());
      return call_user_function(interp, function, args);
    }
    return call_user_function(interp, function, args);
  }
  default:
    if (call.callee >= kLibraryName)
      return call_library_for(interp, call, args, assign_to, warned_before);
    if (debug_enabled) trace_call("Function not found for: " + name);
    if (warnings_enabled) [[unlikely]]
      warn_call_of_nothing(interp, call, callee);
    return Value();
  }
}

// The common calls, with few arguments and no trace lines, keep their
// arguments in the native frame; the rest go through call_function.
constexpr size_t kInlineArguments = 4;

bool takes_fast_path(const ExecExpr &call) {
  return !debug_enabled && call.items.size() <= kInlineArguments;
}

// A call's evaluated arguments in the native frame. Each is built in place
// from its evaluation, and only those made are destroyed, however the
// call ends: the constructor delegates to the empty one first, so a halt
// while a later argument is evaluated still runs the destructor and
// releases the earlier ones.
class InlineArguments {
public:
  [[gnu::always_inline]] InlineArguments(Interpreter &interp, const ExecExpr &call)
      : InlineArguments() {
    check_stack();
    for (const ExecExpr &arg : call.items) {
      new (storage_ + count_ * sizeof(Value)) Value(evaluate(interp, arg));
      ++count_;
    }
  }
  ~InlineArguments() {
    for (Value &value : values()) value.~Value();
  }
  InlineArguments(const InlineArguments &) = delete;
  InlineArguments &operator=(const InlineArguments &) = delete;

  std::span<Value> values() {
    return {std::launder(reinterpret_cast<Value *>(storage_)), count_};
  }

private:
  // Not defaulted: the storage is left uninitialised, not zeroed.
  InlineArguments() {}
  alignas(Value) unsigned char storage_[kInlineArguments * sizeof(Value)];
  size_t count_ = 0;
};

// The arguments of a call to a plain name, evaluated straight into the
// binding stack: when the callee turns out to be a user function, they
// become its parameters' bindings where they lie, so each value is made
// once and moved nowhere. Until then the entries are linked to no name (so
// no lookup finds them, and a call made while a later argument is evaluated
// opens its scope above them); whatever ends the call before its scope
// opens drops them.
class PendingArguments {
public:
  explicit PendingArguments(Interpreter &interp)
      : interp_(interp), base_(interp.bindings.size()) {}

  void evaluate_all(const ExecExpr &call) {
    try {
      for (const ExecExpr &arg : call.items) {
        Value value = evaluate(interp_, arg);
        reserve_bindings(interp_, 1);
        interp_.bindings.push(kNoSymbol, -1, nullptr, std::move(value));
      }
    } catch (...) {
      drop();
      throw;
    }
  }
  // Arguments evaluated elsewhere (a general call's, a library function's
  // call back), moved onto the binding stack.
  void adopt(std::span<Value> args) {
    reserve_bindings(interp_, args.size());
    for (Value &value : args)
      interp_.bindings.push(kNoSymbol, -1, nullptr, std::move(value));
  }
  void drop() {
    interp_.bindings.truncate(base_);
  }
  size_t base() const { return base_; }
  std::span<LocalBinding> entries() {
    return interp_.bindings.from(base_);
  }
  size_t count() const { return interp_.bindings.size() - base_; }
  // The values moved onto the argument stack, for the calls that take a
  // span; the entries are dropped.
  std::span<Value> move_to(ArgumentFrame &frame) {
    try {
      for (size_t i = base_; i < interp_.bindings.size(); ++i)
        interp_.arguments.push_back(std::move(interp_.bindings[i].value));
    } catch (...) {
      drop();
      throw;
    }
    drop();
    return frame.values();
  }

private:
  Interpreter &interp_;
  size_t base_;
};

// A function's body, run in its open scope: what it returned, or null. A
// break or continue that found no loop in the body ends here.
[[gnu::always_inline]] inline ValueTransfer run_body(Interpreter &interp,
                                                     const FunctionObject &function) {
  // A module's pending return is raised only between its top-level
  // statements, so one absent on entry stays absent through the body.
  if (function.ends_in_return && !interp.return_pending) [[likely]] {
    const ExecStmt *s = function.body.data();
    const ExecStmt *last = s + function.body.size() - 1;
    for (; s != last; ++s) {
      Completion c = execute(interp, *s);
      if (c == Completion::Normal) [[likely]] continue;
      // A break or continue that found no loop ends the call with null.
      return c == Completion::Return ? interp.return_value.release()
                                     : Value().release();
    }
    return last->expr.evaluator(interp, last->expr);
  }
  ValueTransfer result = Value().release();
  if (run_block(interp, function.body) == Completion::Return) {
    result = interp.return_value.release(); // leaves return_value null
    interp.return_pending = false;
  }
  return result;
}

#ifdef TOVIK_FUZZING
// Each call counts against the fuzzing budget (see halt_if_interrupted).
constexpr bool kCountsEveryCall = true;
#else
constexpr bool kCountsEveryCall = false;
#endif

// What may stop a call before its scope opens: an interrupt, the depth
// limit, or no memory for the slots of its parameters' names.
[[gnu::noinline]] void prepare_call(Interpreter &interp,
                                    const FunctionObject &function,
                                    PendingArguments &pending) {
  try {
    halt_if_interrupted();
    if (interp.call_depth >= kMaxCallDepth) recursion_limit_reached();
    if (function.last_param_symbol >= interp.slot_count)
      grow_slots(interp, function.last_param_symbol);
  } catch (...) {
    pending.drop();
    throw;
  }
}

// How many parameters a call with too few or too many arguments binds.
// Arguments beyond the parameters are evaluated and let go; parameters
// beyond the arguments stay unbound.
[[gnu::noinline]] size_t fit_arguments(Interpreter &interp,
                                       const FunctionObject &function,
                                       PendingArguments &pending) {
  size_t bound = std::min<size_t>(function.param_count, pending.count());
  interp.bindings.truncate(pending.base() + bound);
  return bound;
}

// Runs `function` with its parameters bound to the pending arguments. The
// scope opens at the first of them; the stack was checked by the caller.
[[gnu::always_inline]] inline ValueTransfer enter_with_pending(
    Interpreter &interp, const FunctionObject &function, PendingArguments &pending) {
  if (kCountsEveryCall || interrupt_requested ||
      interp.call_depth >= kMaxCallDepth ||
      function.last_param_symbol >= interp.slot_count) [[unlikely]]
    prepare_call(interp, function, pending);
  const auto base = static_cast<int32_t>(pending.base());
  size_t bound = pending.count();
  if (bound != function.param_count) [[unlikely]]
    bound = fit_arguments(interp, function, pending);
  int32_t outer = interp.frame_base;
  interp.frame_base = base;
  ++interp.call_depth;
  // The scope is popped however the call ends, a halt included, so an
  // interactive session can carry on with its variables intact.
  struct ScopeGuard {
    Interpreter &interp;
    int32_t outer;
    ~ScopeGuard() { pop_scope(interp, outer); }
  } guard{interp, outer};
  const Symbol *params = function.param_symbols.data();
  for (size_t i = 0; i < bound; ++i) {
    Symbol symbol = params[i];
    VariableSlot &slot = interp.slots[symbol];
    LocalBinding &binding = interp.bindings[base + i];
    binding.symbol = symbol;
    binding.previous = slot.local;
    binding.previous_current = slot.current;
    // The first binding of a name in this call shadows the outer one. A
    // repeated parameter name or a declared global is bound the general
    // way, and its entry stays unlinked: popping it restores the link it
    // found, which is the one it leaves.
    if (slot.declared_global || slot.local >= base) [[unlikely]]
      set_variable(interp, symbol, std::move(binding.value));
    else {
      slot.local = base + static_cast<int32_t>(i);
      slot.current = &binding.value;
    }
  }
  return run_body(interp, function);
}

// A call to a plain name: arguments, then the name's current binding. For
// `x = f(x, ...)` (`assign_to` is x), a function that only passes its first
// parameter on to push, concat or `+` may grow x's payload in place.
[[gnu::always_inline]] inline ValueTransfer call_user_binding(Interpreter &interp,
                                                              const ExecExpr &call,
                                                              Symbol assign_to) {
  check_stack();
  PendingArguments pending(interp);
  pending.evaluate_all(call);
  const Value *found = &read_variable(interp, call.symbol);
  if (!found->is(ValueKind::Function)) [[unlikely]] {
    ArgumentFrame frame(interp);
    return call_named_value(interp, call, pending.move_to(frame), assign_to).release();
  }
  // A reference of our own keeps the function alive even if its body
  // rebinds the name.
  Value callee = *found;
  const FunctionObject &function = callee.as_function();
  // At the depth limit the call must halt as any other would.
  if (assign_to != kNoSymbol && function.pass_through.applies &&
      interp.call_depth < kMaxCallDepth) {
    std::optional<Value> result;
    try {
      result = call_pass_through(interp, function, pending.entries(), assign_to);
    } catch (...) {
      pending.drop();
      throw;
    }
    if (result) {
      pending.drop();
      return result->release();
    }
  }
  return enter_with_pending(interp, function, pending);
}

// Pending arguments have no fixed room, so any number of them takes this
// path; only trace lines need the general one.
ValueTransfer call_user_name(Interpreter &interp, const ExecExpr &call) {
  if (debug_enabled) [[unlikely]]
    return call_function(interp, call).release();
  return call_user_binding(interp, call, kNoSymbol);
}

bool is_callable(const Value &value) {
  return value.is(ValueKind::Function) || value.is(ValueKind::BuiltinFunction);
}

// A library name without trace lines or warnings. A name the script binds
// to a function goes the way of any plain name (its pass-through included);
// otherwise the arguments go in the native frame, and the binding is looked
// at again after them, since evaluating them may have bound the name.
Value call_library_name(Interpreter &interp, const ExecExpr &call, Symbol assign_to) {
  if (is_callable(read_variable(interp, call.symbol))) [[unlikely]]
    return Value::adopt(call_user_binding(interp, call, assign_to));
  InlineArguments arguments(interp, call);
  std::span<Value> args = arguments.values();
  if (is_callable(read_variable(interp, call.symbol))) [[unlikely]]
    return call_named_value(interp, call, args, assign_to);
  return run_library(interp, static_cast<LibraryId>(call.callee - kLibraryName), args,
                     assign_to);
}

Value call_library_evaluator(Interpreter &interp, const ExecExpr &call) {
  if (!takes_fast_path(call)) [[unlikely]]
    return call_function(interp, call);
  return call_library_name(interp, call, kNoSymbol);
}

// One evaluator per builtin, so that a call goes straight to its function.
template <Value (*Builtin)(Args, GraphicsContext &)>
Value call_builtin(Interpreter &interp, const ExecExpr &call) {
  if (!takes_fast_path(call)) [[unlikely]]
    return call_function(interp, call);
  InlineArguments arguments(interp, call);
  return Builtin(arguments.values(), interp.graphics);
}

constexpr Evaluator kBuiltinCalls[kBuiltinCount] = {
#define TOVIK_BUILTIN_CALL(name, least, kinds, effect) evaluator_of<call_builtin<&builtin_##name>>,
    TOVIK_BUILTINS(TOVIK_BUILTIN_CALL)
#undef TOVIK_BUILTIN_CALL
};

} // namespace

Value call_for_assignment(Interpreter &interp, const ExecExpr &call,
                          Symbol assign_to) {
  if (!takes_fast_path(call)) return call_function(interp, call, assign_to);
  if (!calls_builtin(call)) {
    if (call.callee >= kLibraryName) return call_library_name(interp, call, assign_to);
    if (is_plain_name(call.callee))
      return Value::adopt(call_user_binding(interp, call, assign_to));
    return call_function(interp, call, assign_to);
  }
  InlineArguments arguments(interp, call);
  return call_builtin_for(interp, call, arguments.values(), assign_to);
}

bool calls_builtin(const ExecExpr &call) {
  if (call.callee == kUnresolved) call.callee = resolve(call);
  return call.callee < kBuiltinCount;
}

Evaluator call_evaluator(const ExecExpr &call) {
  if (call.callee == kUnresolved) call.callee = resolve(call);
  if (call.callee >= kLibraryName) return evaluator_of<call_library_evaluator>;
  if (is_plain_name(call.callee)) return call_user_name;
  if (call.callee < kBuiltinCount) return kBuiltinCalls[call.callee];
  return nullptr;
}

Value call_function(Interpreter &interp, const ExecExpr &call, Symbol assign_to) {
  if (debug_enabled) trace_call("Calling function: " + call.text);
  check_stack();
  if (call.callee == kUnresolved) call.callee = resolve(call);

  ArgumentFrame frame(interp);
  uint64_t warned_before = warnings_enabled ? warning_events() : 0;
  for (const ExecExpr &arg : call.items)
    interp.arguments.push_back(evaluate(interp, arg));
  std::span<Value> args = frame.values();

  if (call.callee == kGraphicsName) {
    if (std::optional<Value> result =
            call_graphics(call.text, args, interp.graphics))
      return std::move(*result);
  } else if (call.callee < kBuiltinCount) {
    Value result = call_builtin_for(interp, call, args, assign_to);
    if (debug_enabled) trace_call(call.text + " is a builtin");
    if (warnings_enabled && result.is(ValueKind::Null)) [[unlikely]]
      warn_builtin_null(call, static_cast<BuiltinId>(call.callee), args,
                        warning_events() != warned_before);
    return result;
  }
  return call_named_value(interp, call, args, assign_to, warned_before);
}

// Reading a leaf runs nothing, so the order of the reads and the moment x
// lets go of its value change nothing that anyone could see.
bool is_library_update(const ExecExpr &call, Symbol assign_to) {
  if (debug_enabled || call.items.empty() || call.items.size() > kInlineArguments)
    return false;
  if (call.callee == kUnresolved) call.callee = resolve(call);
  if (call.callee < kLibraryName ||
      !library_updates_first_argument(static_cast<LibraryId>(call.callee - kLibraryName)))
    return false;
  for (size_t i = 1; i < call.items.size(); ++i) {
    const ExecExpr &item = call.items[i];
    bool leaf = item.kind == ExprKind::Identifier ? item.symbol != assign_to
                                                   : literal_value(item) != nullptr;
    if (!leaf) return false;
  }
  return true;
}

bool update_through_library(Interpreter &interp, const ExecExpr &call,
                            Symbol assign_to) {
  if (is_callable(read_variable(interp, call.symbol))) [[unlikely]] return false;
  Value *slot = assignable_slot(interp, assign_to);
  if (!slot) [[unlikely]] return false;
  std::array<Value, kInlineArguments> args;
  const size_t count = call.items.size();
  for (size_t i = 1; i < count; ++i) {
    const ExecExpr &item = call.items[i];
    // A literal's value was made when the shape was recognised.
    args[i] = item.kind == ExprKind::Identifier ? read_variable(interp, item.symbol)
                                                : static_cast<const Value &>(item.constant);
  }
  args[0] = std::move(*slot);
  try {
    *slot = call_library(static_cast<LibraryId>(call.callee - kLibraryName),
                         std::span<Value>(args.data(), count), interp);
  } catch (...) {
    // As the general way does: a halt leaves x as it was.
    if (!args[0].is_null()) *slot = std::move(args[0]);
    throw;
  }
  return true;
}

// Every call of a user function enters its body the same way, with its
// arguments on the binding stack where its parameters will be bound.
Value call_user_function(Interpreter &interp, const FunctionObject &function,
                         std::span<Value> args) {
  check_stack();
  PendingArguments pending(interp);
  pending.adopt(args);
  return Value::adopt(enter_with_pending(interp, function, pending));
}

} // namespace tovik
