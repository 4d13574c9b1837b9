#include "interpreter/builtins/builtins.h"

namespace tovik {

// Placeholders until this family lands.
Value builtin_upper(Args, GraphicsContext &) { return Value(); }
Value builtin_lower(Args, GraphicsContext &) { return Value(); }
Value builtin_slice(Args, GraphicsContext &) { return Value(); }
Value builtin_split(Args, GraphicsContext &) { return Value(); }
Value builtin_contains(Args, GraphicsContext &) { return Value(); }
Value builtin_push(Args, GraphicsContext &) { return Value(); }
Value builtin_pop(Args, GraphicsContext &) { return Value(); }
Value builtin_reverse(Args, GraphicsContext &) { return Value(); }

// concat: the textual forms of all arguments run together. A first argument
// that is text held by nobody else is extended in place (`s = concat(s, x)`).
Value builtin_concat(Args args, GraphicsContext &) {
  if (!args.empty() && args[0].is(ValueKind::String)) {
    Value out = std::move(args[0]);
    std::string &text = out.mutable_text();
    for (const Value &arg : args.subspan(1)) append_text(text, arg);
    return out;
  }
  std::string out;
  for (const Value &arg : args) append_text(out, arg);
  return Value::string(std::move(out));
}

} // namespace tovik
