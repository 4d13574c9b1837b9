// The runtime warnings' messages: what went wrong, in the user's terms, and
// where a likely fix is known, what to write instead.
#include <string>
#include <vector>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/function.h"
#include "interpreter/interpreter.h"
#include "interpreter/warning_sink.h"
#include "support/closest_name.h"
#include "support/source.h"

namespace tovik {

namespace {

std::string_view operator_spelling(TokenKind op) {
  switch (op) {
  case TokenKind::Plus: return "+";
  case TokenKind::Minus: return "-";
  case TokenKind::Star: return "*";
  case TokenKind::Slash: return "/";
  case TokenKind::Percent: return "%";
  case TokenKind::Power: return "**";
  case TokenKind::Equal: return "==";
  case TokenKind::NotEqual: return "!=";
  case TokenKind::Less: return "<";
  case TokenKind::Greater: return ">";
  case TokenKind::LessEqual: return "<=";
  case TokenKind::GreaterEqual: return ">=";
  case TokenKind::And: return "and";
  case TokenKind::Or: return "or";
  case TokenKind::Not: return "not";
  default: return "?";
  }
}

bool is_numeric_kind(const Value &v) {
  return v.is(ValueKind::Number) || v.is(ValueKind::Float);
}

// Looking for a suggestion reads every candidate (every name bound, every
// key of a dictionary): only the first few dozen warnings get one, so a run
// with many warnings stays linear in their number.
constexpr int kSuggestionBudget = 50;
int suggestions_left = kSuggestionBudget;

// `candidates()` gives the names to choose from; it is called only while
// the budget lasts.
template <typename Candidates>
std::string suggestion(std::string_view name, Candidates &&candidates, bool function = false) {
  if (suggestions_left == 0) return "";
  --suggestions_left;
  std::vector<std::string_view> among = candidates();
  std::string best = function ? closest_function(name, among) : closest_name(name, among);
  return best.empty() ? "" : "; did you mean '" + best + "'?";
}

// Every name with a binding visible now, the innermost call's and globals.
std::vector<std::string_view> bound_names(const Interpreter &interp, bool functions_only) {
  std::vector<std::string_view> names;
  for (Symbol s = 0; s < interp.slots.size(); ++s) {
    const Value *v = find_variable(interp, s);
    if (v && (!functions_only || v->is(ValueKind::Function)))
      names.push_back(symbol_name(s));
  }
  return names;
}

std::string quoted_list(const std::vector<std::string> &names, size_t from) {
  std::string out;
  for (size_t i = from; i < names.size(); ++i) {
    if (i > from) out += ", ";
    out += "'" + names[i] + "'";
  }
  return out;
}

std::string count_of(size_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

} // namespace

void warn_binary(Place place, TokenKind op, const Value &left, const Value &right) {
  if (!first_time(WarningKind::Operator, place)) return;
  std::string message = "'";
  message += operator_spelling(op);
  message += "' of ";
  message += value_kind_name(left);
  message += " and ";
  message += value_kind_name(right);
  message += " gives null";
  bool left_text = left.is(ValueKind::String), right_text = right.is(ValueKind::String);
  bool has_null = left.is(ValueKind::Null) || right.is(ValueKind::Null);
  if (op == TokenKind::And || op == TokenKind::Or) {
    if (!has_null) message += "; 'and' and 'or' want two booleans";
  } else if (op == TokenKind::Plus && left_text != right_text && !has_null)
    message += "; concat(a, b) joins text with numbers and other values";
  else if (is_numeric_kind(left) && is_numeric_kind(right) && left.kind() != right.kind())
    message += "; integers and floats do not mix: write both as floats (2 -> 2.0)";
  else if ((op == TokenKind::Equal || op == TokenKind::NotEqual) &&
           (left.is(ValueKind::Null) || right.is(ValueKind::Null)))
    message += "; there is no null literal: test with typeof(v) == \"null\"";
  else if ((op == TokenKind::Equal || op == TokenKind::NotEqual) &&
           left.kind() != right.kind())
    message += "; values of different kinds do not compare";
  emit_warning(place, message);
}

void warn_unary(Place place, TokenKind op, const Value &operand) {
  if (!first_time(WarningKind::Operator, place)) return;
  std::string message = "'";
  message += operator_spelling(op);
  message += "' of ";
  message += value_kind_name(operand);
  message += " gives null";
  emit_warning(place, message);
}

void warn_division_by_zero(Place place, TokenKind op) {
  if (!first_time(WarningKind::DivisionByZero, place)) return;
  switch (op) {
  case TokenKind::Percent:
    emit_warning(place, "integer remainder by zero gives 0");
    break;
  case TokenKind::Power:
    emit_warning(place, "0 to a negative power divides by zero and gives 0");
    break;
  default:
    emit_warning(place, "integer division by zero gives 0");
    break;
  }
}

void warn_unbound(const Interpreter &interp, Place place, Symbol symbol) {
  if (is_missing_parameter(symbol)) {
    count_explained_event();
    return;
  }
  if (!first_time(WarningKind::Unbound, place)) return;
  const std::string &name = symbol_name(symbol);
  if (interp.modules.find(name)) {
    emit_warning(place, "'" + name + "' is a module, whose functions can only be called (" +
                            name + ".f(...)); as a value it reads as null");
    return;
  }
  emit_warning(place, "'" + name + "' is not bound, so it reads as null" +
                          suggestion(name, [&] {
                            // A misspelt keyword reads as a name too.
                            std::vector<std::string_view> names = bound_names(interp, false);
                            for (std::string_view k : keyword_spellings()) names.push_back(k);
                            return names;
                          }));
}

void warn_index(Place place, const Value &object, const Value &index) {
  if (!first_time(WarningKind::Index, place)) return;
  std::string message;
  if (object.is(ValueKind::Array) && index.is(ValueKind::Number)) {
    size_t size = object.as_array().size();
    message = "index " + std::to_string(index.as_number()) + " is out of range";
    message += size == 0 ? ": the array is empty"
                         : " for an array of " + count_of(size, "element", "elements") +
                               " (0 to " + std::to_string(size - 1) + ")";
  } else if (object.is(ValueKind::Dict) && index.is(ValueKind::String)) {
    message = "no key '" + index.as_text() + "' in the dictionary" +
              suggestion(index.as_text(), [&] {
                std::vector<std::string_view> keys;
                object.as_dict().for_each([&](const Dict::Entry &e) { keys.push_back(e.key); });
                return keys;
              });
  } else if (object.is(ValueKind::Dict)) {
    message = "dictionary keys are strings; got ";
    message += value_kind_name(index);
  } else if ((object.is(ValueKind::Array) || object.is(ValueKind::String)) &&
             index.is(ValueKind::String) &&
             (index.as_text() == "length" || index.as_text() == "size")) {
    message = std::string(object.is(ValueKind::Array) ? "an array" : "a string") +
              " has no '." + index.as_text() + "': len(...) gives its length";
  } else if (object.is(ValueKind::Array)) {
    message = "an array's index is an integer; got ";
    message += value_kind_name(index);
  } else {
    message = "indexing ";
    message += value_kind_name(object);
    message += " gives null; only arrays and dictionaries have elements";
    if (object.is(ValueKind::String)) message += " (slice(s, i, i + 1) takes one character)";
  }
  emit_warning(place, message);
}

void warn_call_of_nothing(const Interpreter &interp, const ExecExpr &call,
                          const Value &callee) {
  Place place = node_place(call);
  if (!first_time(WarningKind::Call, place)) return;
  const std::string &name = call.text;
  if (!callee.is(ValueKind::Null)) {
    std::string_view kind = value_kind_name(callee);
    bool vowel = kind.find_first_of("aeiou") == 0;
    emit_warning(place, "'" + name + "' is " + (vowel ? "an " : "a ") + std::string(kind) +
                            ", not a function, so the call gives null");
    return;
  }
  size_t dot = name.find('.');
  if (dot != std::string::npos) {
    std::string module = name.substr(0, dot), item = name.substr(dot + 1);
    const Value *exports = interp.modules.find(module);
    if (!exports && module == "sdl2") {
      emit_warning(place, "'" + name + "' is not a graphics function, so the call gives null");
      return;
    }
    if (!exports) {
      std::string builtin = find_builtin(item) ? item : closest_function(item, {});
      if (find_builtin(builtin) && find_variable(interp, intern(module))) {
        emit_warning(place, "'" + name + "(...)' calls no method, so it gives null: builtins "
                                         "take the value first, as in " +
                                builtin + "(" + module + ", ...)");
        return;
      }
      emit_warning(place, "no module '" + module + "' is in use here, so '" + name +
                              "(...)' gives null");
      return;
    }
    emit_warning(place, "module '" + module + "' has no '" + item + "', so the call gives null" +
                            suggestion(item, [&] {
                              std::vector<std::string_view> items;
                              exports->as_dict().for_each(
                                  [&](const Dict::Entry &e) { items.push_back(e.key); });
                              return items;
                            }));
    return;
  }
  if (std::string_view hint = foreign_function_hint(name); !hint.empty()) {
    emit_warning(place, std::string(hint));
    return;
  }
  auto callable = [&] {
    std::vector<std::string_view> names = bound_names(interp, true);
    for (int i = 0; i < kBuiltinCount; ++i)
      names.push_back(builtin_name(static_cast<BuiltinId>(i)));
    for (std::string_view library : library_names()) names.push_back(library);
    return names;
  };
  emit_warning(place, "'" + name + "' is not a builtin or a defined function, so the call "
                                   "gives null" + suggestion(name, callable, true));
}

void warn_missing_arguments(const ExecExpr &call, const FunctionObject &function,
                            size_t given) {
  Place place = node_place(call);
  if (!first_time(WarningKind::Arguments, place)) return;
  const std::vector<std::string> &params = function.params;
  size_t missing = params.size() - given;
  emit_warning(place, "'" + call.text + "' has " +
                          count_of(params.size(), "parameter", "parameters") + " but got " +
                          (given == 0 ? std::string("no arguments")
                                      : count_of(given, "argument", "arguments")) +
                          "; " + quoted_list(params, given) +
                          (missing == 1 ? " reads" : " read") + " as null");
}

void warn_missing_module(Place place, const std::string &name) {
  if (!first_time(WarningKind::Module, place)) return;
  std::vector<std::string> files;
  emit_warning(place, "no module file '" + name +
                          ".tvk' in the working directory, so this 'use' imports nothing" +
                          suggestion(name, [&] {
                            files = module_files_here();
                            return std::vector<std::string_view>(files.begin(), files.end());
                          }));
}

} // namespace tovik
