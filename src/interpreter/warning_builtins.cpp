// Why a builtin gave null: too few arguments or an argument of the wrong
// kind, as its table row says, then the nulls its arguments' values explain.
// Read only after a call has given null, so a builtin that gives null by
// design (print, draw, window, ...) with good arguments says nothing.
#include <string>

#include "interpreter/builtins/builtins.h"
#include "interpreter/exec_tree.h"
#include "interpreter/warning_sink.h"

namespace tovik {

void warn_builtin_null(const ExecExpr &call, BuiltinId id, std::span<const Value> args,
                       bool explained) {
  const Place place = node_place(call);
  const std::string_view name = builtin_name(id);
  const CallableFacts &facts = builtin_facts(id);
  if (warn_argument_count(place, name, facts, args.size()) ||
      warn_argument_kinds(place, name, facts, args, explained))
    return;
  if (id == BuiltinId::min || id == BuiltinId::max) {
    for (const Value &arg : args)
      if (is_numeric(arg)) return;
    if (explained) return;
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted_name(name) +
                            " wants at least one number among its arguments; got none");
    return;
  }
  if (id == BuiltinId::pop && args[0].as_array().empty()) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, "'pop' of an empty array gives null");
    return;
  }
  if (id == BuiltinId::window_width || id == BuiltinId::window_height) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted_name(name) + " gives null: no window is open (see window(w, h))");
  }
}

} // namespace tovik
