// Between the warning sink and the events: the once-per-place rule and the
// output line. Used by the files that make the warnings' messages.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "interpreter/builtins/callable_facts.h"
#include "interpreter/value.h"
#include "interpreter/warnings.h"

namespace tovik {

// What kind of thing went wrong; one place may warn of several kinds.
enum class WarningKind : uint8_t {
  Operator,
  DivisionByZero,
  Unbound,
  Call,
  Builtin,
  Index,
  Arguments,
  Module,
  Static, // found in the text before the run
};

// Counts the event; true the first time `kind` happens at `place` in the
// current source, when the caller should build and emit its message.
bool first_time(WarningKind kind, Place place);

// Counts an event whose warning was already given elsewhere, so that the
// null it leads to is not reported again.
void count_explained_event();

// True when `symbol` is a parameter the innermost call got no argument for.
bool is_missing_parameter(Symbol symbol);

// Writes "SOURCE:LINE:COL: warning: MESSAGE" on standard error.
void emit_warning(Place place, std::string_view message);

// `name` between single quotes, as messages name a function.
inline std::string quoted_name(std::string_view name) {
  std::string out(1, '\'');
  out += name;
  out += '\'';
  return out;
}

// The reasons a builtin's or a library function's table row gives for its
// null (warning_arguments.cpp): too few arguments, then the first argument
// of the wrong kind. True when the null is accounted for: warned of now,
// before at this place, or by the argument's own evaluation (`explained`).
bool warn_argument_count(Place place, std::string_view name, const CallableFacts &facts,
                         size_t count);
bool warn_argument_kinds(Place place, std::string_view name, const CallableFacts &facts,
                         std::span<const Value> args, bool explained);

} // namespace tovik
