// Shape constructors and the draw and fill builtins.
//
// Fields keep the low bits of each argument, so a negative width or radius
// is stored as a large unsigned number; the drawing side clamps sizes and
// reads a radius back as signed, so such a circle draws nothing.
#include "graphics/context.h"
#include "interpreter/builtins/builtins.h"

namespace tovik {

namespace {

bool numeric_arguments(Args args, size_t count) {
  if (args.size() < count) return false;
  for (size_t i = 0; i < count; ++i)
    if (!is_numeric(args[i])) return false;
  return true;
}

bool is_shape(const Value &v) {
  return v.is(ValueKind::Rect) || v.is(ValueKind::Circle) ||
         v.is(ValueKind::Triangle);
}

enum class Stroke { Outline, Filled };

Value draw_shape(Args args, GraphicsContext &graphics, Stroke stroke) {
  if (args.size() < 2 || !is_shape(args[0]) || !args[1].is(ValueKind::Color))
    return Value::null();
  ColorShape c = args[1].as_color();
  set_draw_color(graphics, c.r, c.g, c.b);
  const Value &shape = args[0];
  bool filled = stroke == Stroke::Filled;
  switch (shape.kind()) {
  case ValueKind::Rect: {
    const RectShape &r = shape.as_rect();
    (filled ? fill_rect : draw_rect)(graphics, r.x, r.y, r.w, r.h);
    break;
  }
  case ValueKind::Circle: {
    const CircleShape &o = shape.as_circle();
    auto radius = static_cast<int32_t>(o.radius);
    (filled ? fill_circle : draw_circle)(graphics, o.x, o.y, radius);
    break;
  }
  case ValueKind::Triangle:
    (filled ? fill_triangle : draw_triangle)(graphics, shape.as_triangle());
    break;
  default:
    break;
  }
  return Value::null();
}

} // namespace

Value builtin_color(Args args, GraphicsContext &) {
  if (!numeric_arguments(args, 3)) return Value::null();
  return Value::color(
      {to_uint8(args[0]), to_uint8(args[1]), to_uint8(args[2])});
}

Value builtin_rect(Args args, GraphicsContext &) {
  if (!numeric_arguments(args, 4)) return Value::null();
  return Value::rect({to_int32(args[0]), to_int32(args[1]), to_uint32(args[2]),
                      to_uint32(args[3])});
}

Value builtin_circle(Args args, GraphicsContext &) {
  if (!numeric_arguments(args, 3)) return Value::null();
  return Value::circle(
      {to_int32(args[0]), to_int32(args[1]), to_uint32(args[2])});
}

Value builtin_triangle(Args args, GraphicsContext &) {
  if (!numeric_arguments(args, 6)) return Value::null();
  return Value::triangle({to_int32(args[0]), to_int32(args[1]),
                          to_int32(args[2]), to_int32(args[3]),
                          to_int32(args[4]), to_int32(args[5])});
}

Value builtin_draw(Args args, GraphicsContext &graphics) {
  return draw_shape(args, graphics, Stroke::Outline);
}

Value builtin_fill(Args args, GraphicsContext &graphics) {
  return draw_shape(args, graphics, Stroke::Filled);
}

} // namespace tovik
