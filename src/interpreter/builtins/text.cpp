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

// concat: the textual forms of all arguments run together.
Value builtin_concat(Args args, GraphicsContext &) {
  std::string out;
  for (const Value &arg : args) append_text(out, arg);
  return Value::string(std::move(out));
}

} // namespace tovik
