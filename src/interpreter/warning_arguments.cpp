// Why a builtin or a library function gave null, as far as its table row
// tells: too few arguments, or an inspected argument of the wrong kind.
// Both tables' calls are explained here, so they say it alike.
#include <array>
#include <string>

#include "interpreter/warning_sink.h"

namespace tovik {

namespace {

bool has_kind(const Value &v, ArgumentKind kind) {
  const bool list = v.is(ValueKind::Array), dict = v.is(ValueKind::Dict),
             text = v.is(ValueKind::String);
  switch (kind) {
  case ArgumentKind::Any: return true;
  case ArgumentKind::Number: return v.is(ValueKind::Number) || v.is(ValueKind::Float);
  case ArgumentKind::Text: return text;
  case ArgumentKind::List: return list;
  case ArgumentKind::Dict: return dict;
  case ArgumentKind::ListOrDict: return list || dict;
  case ArgumentKind::ListOrText: return list || text;
  case ArgumentKind::Sized: return text || list || dict;
  case ArgumentKind::Shape:
    return v.is(ValueKind::Rect) || v.is(ValueKind::Circle) || v.is(ValueKind::Triangle);
  case ArgumentKind::Color: return v.is(ValueKind::Color);
  }
  return true;
}

std::string_view kind_name(ArgumentKind kind) {
  switch (kind) {
  case ArgumentKind::Number: return "a number";
  case ArgumentKind::Text: return "a string";
  case ArgumentKind::List: return "an array";
  case ArgumentKind::Dict: return "a dictionary";
  case ArgumentKind::ListOrDict: return "an array or dictionary";
  case ArgumentKind::ListOrText: return "an array or string";
  case ArgumentKind::Sized: return "a string, array or dictionary";
  case ArgumentKind::Shape: return "a rect, circle or triangle";
  case ArgumentKind::Color: return "a color (from color(r, g, b))";
  case ArgumentKind::Any: break;
  }
  return "a value";
}

constexpr std::array<std::string_view, 6> kOrdinals = {"first", "second", "third",
                                                       "fourth", "fifth", "sixth"};

} // namespace

bool warn_argument_count(Place place, std::string_view name, const CallableFacts &facts,
                         size_t count) {
  if (count >= facts.least) return false;
  if (first_time(WarningKind::Builtin, place))
    emit_warning(place, quoted_name(name) + " needs " + std::to_string(facts.least) +
                            (facts.least == 1 ? " argument" : " arguments") + "; got " +
                            (count == 0 ? std::string("none") : std::to_string(count)));
  return true;
}

bool warn_argument_kinds(Place place, std::string_view name, const CallableFacts &facts,
                         std::span<const Value> args, bool explained) {
  for (size_t i = 0; i < facts.kinds.size() && i < args.size(); ++i) {
    if (has_kind(args[i], facts.kinds[i])) continue;
    // An unbound name or a failed call in the argument has said why.
    if (explained && args[i].is(ValueKind::Null)) return true;
    if (!first_time(WarningKind::Builtin, place)) return true;
    std::string message = quoted_name(name) + " wants " + std::string(kind_name(facts.kinds[i]));
    // Ordinals only where more than one argument has a kind to name.
    if (facts.least > 1 && facts.kinds[1] != ArgumentKind::Any)
      message += " as its " + std::string(kOrdinals[i]) + " argument";
    message += "; got ";
    message += value_kind_name(args[i]);
    emit_warning(place, message);
    return true;
  }
  return false;
}

} // namespace tovik
