#include <cstdio>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/input_line.h"
#include "interpreter/dict.h"

namespace tovik {

// input: the prompt, then one trimmed line of standard input.
Value builtin_input(Args args, GraphicsContext &) {
  if (args.empty()) return Value();
  write_output(to_text(args[0]));
  flush_output();
  return Value::string(read_input_line_from_stdin());
}

Value builtin_typeof(Args args, GraphicsContext &) {
  if (args.empty()) return Value();
  return Value::string_of(type_name(args[0]));
}

// The type tests answer false, not Null, when called without an argument.
Value builtin_is_number(Args args, GraphicsContext &) {
  return Value::boolean(!args.empty() && is_numeric(args[0]));
}

Value builtin_is_string(Args args, GraphicsContext &) {
  return Value::boolean(!args.empty() && args[0].is(ValueKind::String));
}

Value builtin_is_array(Args args, GraphicsContext &) {
  return Value::boolean(!args.empty() && args[0].is(ValueKind::Array));
}

Value builtin_is_dict(Args args, GraphicsContext &) {
  return Value::boolean(!args.empty() && args[0].is(ValueKind::Dict));
}

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
