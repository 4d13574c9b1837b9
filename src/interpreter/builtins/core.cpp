#include "interpreter/builtins/builtins.h"
#include "interpreter/dict.h"

namespace tovik {

// Placeholders until this family lands.
Value builtin_input(Args, GraphicsContext &) { return Value(); }
Value builtin_typeof(Args, GraphicsContext &) { return Value(); }
Value builtin_is_number(Args, GraphicsContext &) { return Value(); }
Value builtin_is_string(Args, GraphicsContext &) { return Value(); }
Value builtin_is_array(Args, GraphicsContext &) { return Value(); }
Value builtin_is_dict(Args, GraphicsContext &) { return Value(); }

// len: bytes of a text, elements of an array, entries of a dictionary.
Value builtin_len(Args args, GraphicsContext &) {
  if (args.empty()) return Value();
  const Value &v = args[0];
  switch (v.kind()) {
  case ValueKind::String:
    return Value::number(static_cast<int64_t>(v.as_text().size()));
  case ValueKind::Array:
    return Value::number(static_cast<int64_t>(v.as_array().size()));
  case ValueKind::Dict:
    return Value::number(static_cast<int64_t>(v.as_dict().size()));
  default:
    return Value();
  }
}

} // namespace tovik
