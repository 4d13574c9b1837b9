// The "sdl2." library. Unlike the builtins it checks its arguments and
// answers a bad call with an Error value a script can catch: first the
// count, then the variants, and nothing is done unless both pass.
#include "graphics/library.h"

#include <string>

#include "graphics/context.h"
#include "interpreter/builtins/builtins.h"

namespace tovik {

namespace {

std::optional<GraphicsFunction> find_graphics_function(std::string_view name) {
  for (size_t i = 0; i < kGraphicsFunctionNames.size(); ++i)
    if (kGraphicsFunctionNames[i] == name)
      return static_cast<GraphicsFunction>(i);
  return std::nullopt;
}

// False too when an argument is missing; the count check answers first.
bool all_numeric(std::span<Value> args, size_t first, size_t count) {
  if (args.size() < first + count) return false;
  for (size_t i = first; i < first + count; ++i)
    if (!is_numeric(args[i])) return false;
  return true;
}

// The shared shape of a checked call: the count message, the variant
// message, and the action run only when both checks pass.
template <typename Action>
Value checked(std::span<Value> args, size_t count, const char *too_few,
              const char *wrong, bool variants_ok, Action action) {
  if (args.size() < count) return Value::error(too_few);
  if (!variants_ok) return Value::error(wrong);
  return action();
}

Value size_part(const GraphicsContext &graphics, bool width) {
  auto size = window_size(graphics);
  if (!size) return Value::null();
  return Value::number(width ? size->first : size->second);
}

} // namespace

std::optional<Value> call_graphics(std::string_view name,
                                   std::span<Value> args,
                                   GraphicsContext &graphics) {
  std::optional<GraphicsFunction> function = find_graphics_function(name);
  if (!function) return std::nullopt;
  auto n = [&](size_t i) { return to_int32(args[i]); };
  switch (*function) {
  case GraphicsFunction::init:
    return Value::boolean(true);
  case GraphicsFunction::create_window:
    return checked(args, 3, "create_window requires 3 arguments",
                   "Invalid arguments for create_window",
                   all_numeric(args, 1, 2) &&
                       args[0].is(ValueKind::String),
                   [&] {
                     std::string failure =
                         create_window(graphics, args[0].as_text(),
                                       to_uint32(args[1]), to_uint32(args[2]));
                     if (!failure.empty()) return Value::error(failure);
                     return Value::number(1);
                   });
  case GraphicsFunction::destroy_window:
    // The window lives as long as the interpreter: nothing to do.
    return Value::null();
  case GraphicsFunction::set_window_title:
    return checked(args, 2, "set_window_title requires 2 arguments",
                   "Title must be a string",
                   args.size() >= 2 && args[1].is(ValueKind::String),
                   [] { return Value::null(); });
  case GraphicsFunction::clear_screen:
    clear_screen(graphics);
    return Value::null();
  case GraphicsFunction::render_present:
    render_present(graphics);
    return Value::null();
  case GraphicsFunction::set_draw_color:
    return checked(args, 3, "set_draw_color requires 3 arguments",
                   "Color values must be numbers", all_numeric(args, 0, 3),
                   [&] {
                     set_draw_color(graphics, to_uint8(args[0]),
                                    to_uint8(args[1]), to_uint8(args[2]));
                     return Value::null();
                   });
  case GraphicsFunction::draw_point:
    return checked(args, 2, "draw_point requires 2 arguments",
                   "Coordinates must be numbers", all_numeric(args, 0, 2), [&] {
                     draw_point(graphics, n(0), n(1));
                     return Value::null();
                   });
  case GraphicsFunction::draw_line:
    return checked(args, 4, "draw_line requires 4 arguments",
                   "Coordinates must be numbers", all_numeric(args, 0, 4), [&] {
                     draw_line(graphics, n(0), n(1), n(2), n(3));
                     return Value::null();
                   });
  case GraphicsFunction::draw_rect:
    return checked(args, 4, "draw_rect requires 4 arguments",
                   "Rectangle parameters must be numbers",
                   all_numeric(args, 0, 4), [&] {
                     draw_rect(graphics, n(0), n(1), to_uint32(args[2]),
                               to_uint32(args[3]));
                     return Value::null();
                   });
  case GraphicsFunction::fill_rect:
    return checked(args, 4, "fill_rect requires 4 arguments",
                   "Rectangle parameters must be numbers",
                   all_numeric(args, 0, 4), [&] {
                     fill_rect(graphics, n(0), n(1), to_uint32(args[2]),
                               to_uint32(args[3]));
                     return Value::null();
                   });
  case GraphicsFunction::draw_circle:
    return checked(args, 3, "draw_circle requires 3 arguments",
                   "Circle parameters must be numbers", all_numeric(args, 0, 3),
                   [&] {
                     draw_circle(graphics, n(0), n(1), n(2));
                     return Value::null();
                   });
  case GraphicsFunction::fill_circle:
    return checked(args, 3, "fill_circle requires 3 arguments",
                   "Circle parameters must be numbers", all_numeric(args, 0, 3),
                   [&] {
                     fill_circle(graphics, n(0), n(1), n(2));
                     return Value::null();
                   });
  case GraphicsFunction::get_window_width:
    return size_part(graphics, true);
  case GraphicsFunction::get_window_height:
    return size_part(graphics, false);
  case GraphicsFunction::is_window_open:
    return Value::boolean(is_window_open(graphics));
  }
  return std::nullopt;
}

} // namespace tovik
