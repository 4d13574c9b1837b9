// The window builtins: the quiet counterparts of the "sdl2." functions,
// answering bad arguments with Null instead of an Error.
#include "graphics/context.h"
#include "interpreter/builtins/builtins.h"

namespace tovik {

Value builtin_window(Args args, GraphicsContext &graphics) {
  if (args.size() < 2 || !is_numeric(args[0]) || !is_numeric(args[1]))
    return Value::null();
  // Null either way; a window that could not be shown leaves is_open() false.
  create_window(graphics, "Tovik", to_uint32(args[0]), to_uint32(args[1]));
  return Value::null();
}

Value builtin_clear(Args, GraphicsContext &graphics) {
  clear_screen(graphics);
  return Value::null();
}

Value builtin_present(Args, GraphicsContext &graphics) {
  render_present(graphics);
  return Value::null();
}

Value builtin_is_open(Args, GraphicsContext &graphics) {
  return Value::boolean(is_window_open(graphics));
}

Value builtin_window_width(Args, GraphicsContext &graphics) {
  auto size = window_size(graphics);
  return size ? Value::number(size->first) : Value::null();
}

Value builtin_window_height(Args, GraphicsContext &graphics) {
  auto size = window_size(graphics);
  return size ? Value::number(size->second) : Value::null();
}

} // namespace tovik
