// Why a library function gave null (-w): too few arguments, a first
// argument of the wrong kind, or an index out of range. Nulls that answer
// a question (to_number of a text that is no number, read_line at the end,
// compare of unlike kinds) and sleep, which always gives null, say nothing.
#include <string>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/exec_tree.h"
#include "interpreter/warning_sink.h"

namespace tovik {

namespace {

// The kind a function's first argument must have; "" when any will do or
// when its null says something of its own.
std::string_view first_argument_need(LibraryId id, const Value &first) {
  switch (id) {
  case LibraryId::set:
  case LibraryId::remove:
  case LibraryId::has:
    return first.is(ValueKind::Array) || first.is(ValueKind::Dict) ? ""
                                                                   : "an array or dictionary";
  case LibraryId::insert:
  case LibraryId::sort:
  case LibraryId::sublist:
  case LibraryId::join:
    return first.is(ValueKind::Array) ? "" : "an array";
  case LibraryId::keys:
  case LibraryId::values:
    return first.is(ValueKind::Dict) ? "" : "a dictionary";
  case LibraryId::index_of:
    return first.is(ValueKind::Array) || first.is(ValueKind::String) ? ""
                                                                     : "an array or string";
  case LibraryId::to_number:
  case LibraryId::chars:
  case LibraryId::char_count:
  case LibraryId::replace:
  case LibraryId::trim:
  case LibraryId::starts_with:
  case LibraryId::ends_with:
  case LibraryId::repeat:
  case LibraryId::code:
  case LibraryId::read_file:
  case LibraryId::write_file:
    return first.is(ValueKind::String) ? "" : "a string";
  case LibraryId::to_float:
  case LibraryId::to_int:
  case LibraryId::character:
  case LibraryId::sin:
  case LibraryId::cos:
  case LibraryId::tan:
  case LibraryId::atan2:
  case LibraryId::exp:
  case LibraryId::log:
    return is_numeric(first) ? "" : "a number";
  default:
    return "";
  }
}

std::string quoted(LibraryId id) { return quoted_name(library_name(id)); }

} // namespace

void warn_library_null(const ExecExpr &call, LibraryId id, std::span<const Value> args,
                       bool explained) {
  const Place place = node_place(call);
  const LibraryArity arity = library_arity(id);
  if (args.size() < arity.least) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted(id) + " needs " + std::to_string(arity.least) +
                            (arity.least == 1 ? " argument" : " arguments") + "; got " +
                            (args.empty() ? std::string("none") : std::to_string(args.size())));
    return;
  }
  if (args.empty()) return;
  std::string_view need = first_argument_need(id, args[0]);
  if (!need.empty()) {
    if (explained && args[0].is(ValueKind::Null)) return;
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted(id) + " wants " + std::string(need) + "; got " +
                            std::string(value_kind_name(args[0])));
    return;
  }
  const bool indexed = id == LibraryId::set || id == LibraryId::insert;
  if (indexed && args[0].is(ValueKind::Array) && is_numeric(args[1])) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted(id) + " at index " + std::to_string(to_integer(args[1])) +
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
