// Why a library function gave null (-w): too few arguments or a first
// argument of the wrong kind (as its table row says), no window, or an
// index out of range. Nulls that answer a question (to_number of a text
// that is no number, read_line at the end, compare of unlike kinds) and
// sleep, which always gives null, say nothing.
#include <string>

#include "graphics/canvas.h"
#include "graphics/input.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/exec_tree.h"
#include "interpreter/warning_sink.h"

namespace tovik {

namespace {

bool needs_window(LibraryId id) {
  return id == LibraryId::key_down || id == LibraryId::mouse_x || id == LibraryId::mouse_y ||
         id == LibraryId::mouse_down || id == LibraryId::draw_text;
}

// Why draw_text or key_down gave null with a window open; "" when they
// simply did their work (draw_text always gives null then).
std::string window_function_reason(LibraryId id, std::span<const Value> args) {
  if (id == LibraryId::key_down) {
    if (key_from_name(args[0].as_text())) return "";
    return "'key_down' knows no key \"" + std::string(args[0].as_text()) +
           "\" (keys: left, right, up, down, space, enter, escape, shift, a to z, 0 to 9)";
  }
  if (id != LibraryId::draw_text) return "";
  for (size_t i : {1, 2})
    if (!is_numeric(args[i]))
      return std::string("'draw_text' wants a number as its ") + (i == 1 ? "x" : "y") +
             "; got " + std::string(value_kind_name(args[i]));
  if (!is_numeric(args[3]) || to_integer(args[3]) < 1 ||
      to_integer(args[3]) > int64_t(kLargestTextSize))
    return "'draw_text' wants a size from 1 to " + std::to_string(kLargestTextSize) + "; got " +
           (is_numeric(args[3]) ? std::to_string(to_integer(args[3]))
                                : std::string(value_kind_name(args[3])));
  if (!args[4].is(ValueKind::Color))
    return "'draw_text' wants a color (from color(r, g, b)) as its fifth argument; got " +
           std::string(value_kind_name(args[4]));
  std::string formed;
  if (!args[0].is(ValueKind::String)) append_text(formed, args[0]);
  std::string_view text = args[0].is(ValueKind::String) ? args[0].as_text() : formed;
  if (text.find('\0') != std::string_view::npos)
    return "'draw_text' cannot draw a text with a NUL character in it";
  return "";
}

} // namespace

void warn_library_null(const ExecExpr &call, LibraryId id, std::span<const Value> args,
                       bool explained, bool window) {
  const Place place = node_place(call);
  const std::string_view name = library_name(id);
  const CallableFacts &facts = library_facts(id);
  if (warn_argument_count(place, name, facts, args.size())) return;
  if (needs_window(id) && !window) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted_name(name) + " gives null: no window is open (see window(w, h))");
    return;
  }
  const bool key_name = id == LibraryId::key_down && args[0].is(ValueKind::String);
  if (key_name || id == LibraryId::draw_text) {
    std::string reason = window_function_reason(id, args);
    if (reason.empty() || !first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, reason);
    return;
  }
  if (warn_argument_kinds(place, name, facts, args, explained)) return;
  const bool indexed = id == LibraryId::set || id == LibraryId::insert;
  if (indexed && args[0].is(ValueKind::Array) && is_numeric(args[1])) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted_name(name) + " at index " + std::to_string(to_integer(args[1])) +
                            " of an array of " + std::to_string(args[0].as_array().size()) +
                            " gives null: the index is out of range");
    return;
  }
  if (id == LibraryId::sort && args.size() < 2) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, "'sort' gives null: the elements are not all numbers or all strings "
                        "(sort(xs, before) takes an order of your own)");
  }
}

} // namespace tovik
