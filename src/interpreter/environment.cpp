// Variables: globals, declared globals, the dynamically scoped locals of the
// calls in progress, and the dotted module lookup.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "interpreter/builtins/builtins.h"
#include "interpreter/interpreter.h"
#include "lexer/debug_text.h"

namespace tovik {

bool debug_enabled = false;

const Value kUnboundValue;

void relink_variables(Interpreter &interp) {
  for (VariableSlot &slot : interp.slots)
    slot.current = slot.local >= 0 ? &interp.bindings[slot.local].value : &slot.global;
  for (LocalBinding &b : interp.bindings) {
    // Arguments not yet bound to a parameter are linked to no slot.
    if (b.symbol >= interp.slots.size()) continue;
    b.previous_current = b.previous >= 0 ? &interp.bindings[b.previous].value
                                         : &interp.slots[b.symbol].global;
  }
}

void grow_bindings(Interpreter &interp, size_t more) {
  interp.bindings.reserve(2 * interp.bindings.size() + more);
  relink_variables(interp);
}

namespace {

VariableSlot &slot_for(Interpreter &interp, Symbol symbol) {
  if (symbol >= interp.slots.size()) {
    // Doubling, up to the names known so far: amortised growth without
    // sizing a small interpreter to every name of the process.
    size_t doubled = std::min<size_t>(symbol_count(), interp.slots.size() * 2);
    interp.slots.resize(std::max<size_t>(doubled, symbol + 1));
    interp.slot_count = static_cast<Symbol>(interp.slots.size());
    relink_variables(interp);
  }
  return interp.slots[symbol];
}

} // namespace

Interpreter::Interpreter(InterpreterSize initial_size) : size(initial_size) {
  if (size == InterpreterSize::Lean) return;
  slots.resize(symbol_count());
  slot_count = static_cast<Symbol>(slots.size());
  bindings.reserve(256);
  arguments.reserve(256);
  relink_variables(*this);
}

Interpreter::~Interpreter() = default;

ParkedSlots::ParkedSlots(Interpreter &interp) : m_interp(interp) {
  if (interp.size != InterpreterSize::Lean) return;
  m_table_size = interp.slots.size();
  for (Symbol s = 0; s < interp.slots.size(); ++s) {
    VariableSlot &slot = interp.slots[s];
    if (slot.local >= 0 || slot.has_global || slot.declared_global)
      m_bound.emplace_back(s, std::move(slot));
  }
  decltype(interp.slots)().swap(interp.slots);
  interp.slot_count = 0;
}

ParkedSlots::~ParkedSlots() {
  if (m_interp.size != InterpreterSize::Lean) return;
  try {
    m_interp.slots.resize(m_table_size);
  } catch (const std::bad_alloc &) {
    // No room for the table while a halt may be unwinding through the
    // calls that need it: end the run here, as in order as it can be.
    try {
      flush_output();
    } catch (...) {
      // Standard output failed as well; the message below still goes out.
    }
    std::fputs("Error: out of memory\n", stderr);
    std::_Exit(1);
  }
  m_interp.slot_count = static_cast<Symbol>(m_interp.slots.size());
  for (auto &[symbol, slot] : m_bound) m_interp.slots[symbol] = std::move(slot);
  relink_variables(m_interp);
}


namespace {

// M.I: the module M among the modules made visible by `use`, then its item I.
Value get_dotted(Interpreter &interp, std::string_view name, size_t dot) {
  std::string_view module = name.substr(0, dot);
  std::string_view item = name.substr(dot + 1);
  if (debug_enabled)
    trace_debug(std::string("Looking up module.item: module='")
                    .append(module)
                    .append("', item='")
                    .append(item)
                    .append("'"));
  if (const Value *exports = interp.modules.find(module)) {
    if (debug_enabled)
      trace_debug(
          std::string("Found module '").append(module).append("' in modules"));
    if (const Value *found = exports->as_dict().find(item)) {
      if (debug_enabled)
        trace_debug(
            std::string("Found item '").append(item).append("' in module"));
      return *found;
    }
    return Value();
  }
  if (debug_enabled) {
    trace_debug(
        std::string("Module '").append(module).append("' not found in modules"));
    std::string names = "Available modules: [";
    bool first = true;
    interp.modules.for_each([&](const Dict::Entry &e) {
      if (!first) names += ", ";
      first = false;
      append_quoted(names, e.key);
    });
    names += ']';
    trace_debug(names);
  }
  return Value();
}

} // namespace

Value get_variable(Interpreter &interp, std::string_view name) {
  size_t dot = name.find('.');
  if (dot != std::string_view::npos) return get_dotted(interp, name, dot);
  return get_variable(interp, intern(name));
}

void grow_slots(Interpreter &interp, Symbol symbol) { slot_for(interp, symbol); }

void set_variable_slow(Interpreter &interp, Symbol symbol, ValueTransfer words) {
  Value value = Value::adopt(words);
  VariableSlot &slot = slot_for(interp, symbol);
  if (slot.declared_global || interp.call_depth == 0) {
    slot.global = std::move(value);
    slot.has_global = true;
    return;
  }
  // A binding made earlier in this same call is replaced; otherwise the new
  // binding shadows whatever the name meant outside this call.
  if (slot.local >= interp.frame_base) {
    *slot.current = std::move(value);
    return;
  }
  push_local(interp, symbol, std::move(value));
}


void declare_global(Interpreter &interp, Symbol symbol) {
  slot_for(interp, symbol).declared_global = true;
}

void bind_global(Interpreter &interp, Symbol symbol, Value value) {
  VariableSlot &slot = slot_for(interp, symbol);
  slot.global = std::move(value);
  slot.has_global = true;
}

Value *assignable_slot(Interpreter &interp, Symbol symbol) {
  if (symbol >= interp.slot_count) return nullptr;
  VariableSlot &slot = interp.slots[symbol];
  if (slot.declared_global || interp.call_depth == 0)
    return slot.local < 0 && slot.has_global ? &slot.global : nullptr;
  if (slot.local >= interp.frame_base) return slot.current;
  return nullptr;
}



} // namespace tovik
