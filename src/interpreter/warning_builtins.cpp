// Why a builtin gave null: each builtin's least argument count and the kind
// each inspected argument needs, as the library checks them. Read only after
// a call has given null, so a builtin that gives null by design (print,
// draw, window, ...) with good arguments says nothing.
#include <array>
#include <string>

#include "interpreter/builtins/builtins.h"
#include "interpreter/exec_tree.h"
#include "interpreter/warning_sink.h"

namespace tovik {

namespace {

enum class Need : uint8_t { Any, Number, Text, List, Sized, Shape, Color };

struct Rule {
  uint8_t minimum = 0;
  std::array<Need, 6> needs{}; // per argument, Any beyond those listed
};

Rule rule_for(BuiltinId id) {
  using enum Need;
  switch (id) {
  case BuiltinId::input:
  case BuiltinId::typeof:
  case BuiltinId::split:
  case BuiltinId::contains:
    return {id == BuiltinId::split || id == BuiltinId::contains ? uint8_t(2) : uint8_t(1), {}};
  case BuiltinId::len: return {1, {Sized}};
  case BuiltinId::upper:
  case BuiltinId::lower: return {1, {Text}};
  case BuiltinId::slice: return {3, {Text, Number, Number}};
  case BuiltinId::push: return {2, {List}};
  case BuiltinId::pop:
  case BuiltinId::reverse: return {1, {List}};
  case BuiltinId::abs:
  case BuiltinId::sqrt:
  case BuiltinId::floor:
  case BuiltinId::ceil:
  case BuiltinId::round: return {1, {Number}};
  case BuiltinId::pow:
  case BuiltinId::random_range:
  case BuiltinId::window: return {2, {Number, Number}};
  case BuiltinId::min:
  case BuiltinId::max: return {2, {}};
  case BuiltinId::color: return {3, {Number, Number, Number}};
  case BuiltinId::circle: return {3, {Number, Number, Number}};
  case BuiltinId::rect: return {4, {Number, Number, Number, Number}};
  case BuiltinId::triangle: return {6, {Number, Number, Number, Number, Number, Number}};
  case BuiltinId::draw:
  case BuiltinId::fill: return {2, {Shape, Color}};
  default: return {};
  }
}

bool satisfies(const Value &v, Need need) {
  switch (need) {
  case Need::Any: return true;
  case Need::Number: return is_numeric(v);
  case Need::Text: return v.is(ValueKind::String);
  case Need::List: return v.is(ValueKind::Array);
  case Need::Sized:
    return v.is(ValueKind::String) || v.is(ValueKind::Array) || v.is(ValueKind::Dict);
  case Need::Shape:
    return v.is(ValueKind::Rect) || v.is(ValueKind::Circle) || v.is(ValueKind::Triangle);
  case Need::Color: return v.is(ValueKind::Color);
  }
  return true;
}

std::string_view need_name(Need need) {
  switch (need) {
  case Need::Number: return "a number";
  case Need::Text: return "a string";
  case Need::List: return "an array";
  case Need::Sized: return "a string, array or dictionary";
  case Need::Shape: return "a rect, circle or triangle";
  case Need::Color: return "a color (from color(r, g, b))";
  case Need::Any: break;
  }
  return "a value";
}

constexpr std::array<std::string_view, 6> kOrdinals = {"first", "second", "third",
                                                       "fourth", "fifth", "sixth"};

std::string quoted(BuiltinId id) { return quoted_name(builtin_name(id)); }

} // namespace

void warn_builtin_null(const ExecExpr &call, BuiltinId id, std::span<const Value> args,
                       bool explained) {
  Rule rule = rule_for(id);
  Place place = node_place(call);
  std::string message;
  if (args.size() < rule.minimum) {
    if (!first_time(WarningKind::Builtin, place)) return;
    message = quoted(id) + " needs " + std::to_string(rule.minimum) +
              (rule.minimum == 1 ? " argument" : " arguments") + "; got " +
              (args.empty() ? std::string("none") : std::to_string(args.size()));
    emit_warning(place, message);
    return;
  }
  for (size_t i = 0; i < rule.needs.size() && i < args.size(); ++i) {
    if (rule.needs[i] == Need::Any) continue;
    if (satisfies(args[i], rule.needs[i])) continue;
    // An unbound name or a failed call in the argument has said why.
    if (explained && args[i].is(ValueKind::Null)) return;
    if (!first_time(WarningKind::Builtin, place)) return;
    message = quoted(id) + " wants " + std::string(need_name(rule.needs[i]));
    bool several = rule.minimum > 1 && rule.needs[1] != Need::Any;
    if (several) message += " as its " + std::string(kOrdinals[i]) + " argument";
    message += "; got ";
    message += value_kind_name(args[i]);
    emit_warning(place, message);
    return;
  }
  if (id == BuiltinId::min || id == BuiltinId::max) {
    for (const Value &arg : args)
      if (is_numeric(arg)) return;
    if (explained) return;
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted(id) + " wants at least one number among its arguments; got none");
    return;
  }
  if (id == BuiltinId::pop && args[0].as_array().empty()) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, "'pop' of an empty array gives null");
    return;
  }
  if (id == BuiltinId::window_width || id == BuiltinId::window_height) {
    if (!first_time(WarningKind::Builtin, place)) return;
    emit_warning(place, quoted(id) + " gives null: no window is open (see window(w, h))");
  }
}

} // namespace tovik
