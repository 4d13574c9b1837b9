// Library functions on the window: the keyboard and mouse as of the last
// present(), and text. Like the window builtins they act on the
// interpreter's one graphics context and give null without a window.
#include <string>

#include "graphics/context.h"
#include "graphics/input.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/interpreter.h"

namespace tovik {

// key_down(name): whether the named key is held, or was pressed since the
// frame before. Null for a name that is no key.
Value library_key_down(LibraryArgs args, Interpreter &interp) {
  if (args.empty() || !args[0].is(ValueKind::String)) return Value();
  std::optional<Key> key = key_from_name(args[0].as_text());
  const InputState *input = window_input(interp.graphics);
  if (!key || !input) return Value();
  return Value::boolean(key_is_down(*input, *key));
}

Value library_mouse_x(LibraryArgs, Interpreter &interp) {
  const InputState *input = window_input(interp.graphics);
  return input ? Value::number(input->mouse_x) : Value();
}

Value library_mouse_y(LibraryArgs, Interpreter &interp) {
  const InputState *input = window_input(interp.graphics);
  return input ? Value::number(input->mouse_y) : Value();
}

// mouse_down(): the left button, held or clicked since the frame before.
Value library_mouse_down(LibraryArgs, Interpreter &interp) {
  const InputState *input = window_input(interp.graphics);
  return input ? Value::boolean(mouse_is_down(*input)) : Value();
}

namespace {

bool text_size_fits(const Value &size) {
  if (!is_numeric(size)) return false;
  const int64_t pixels = to_integer(size);
  return pixels >= 1 && pixels <= int64_t(kLargestTextSize);
}

} // namespace

// draw_text(text, x, y, size, color): any value, written as print writes
// it. Null when drawn or without a window; an Error when text cannot be
// drawn at all (no font, no text library).
Value library_draw_text(LibraryArgs args, Interpreter &interp) {
  if (args.size() < 5 || !is_numeric(args[1]) || !is_numeric(args[2]) ||
      !text_size_fits(args[3]) || !args[4].is(ValueKind::Color))
    return Value();
  std::string formed;
  if (!args[0].is(ValueKind::String)) append_text(formed, args[0]);
  std::string_view text =
      args[0].is(ValueKind::String) ? args[0].as_text() : formed;
  // The backends take C strings.
  if (text.find('\0') != std::string_view::npos) return Value();
  const ColorShape c = args[4].as_color();
  std::string failure = draw_text(interp.graphics, text, to_int32(args[1]),
                                  to_int32(args[2]), uint32_t(to_integer(args[3])),
                                  DrawColour{c.r, c.g, c.b, 255});
  return failure.empty() ? Value() : Value::error(std::move(failure));
}

} // namespace tovik
