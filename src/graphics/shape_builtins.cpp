#include "interpreter/builtins/builtins.h"

namespace tovik {

// Placeholders until this family lands.
Value builtin_color(Args, GraphicsContext &) { return Value(); }
Value builtin_rect(Args, GraphicsContext &) { return Value(); }
Value builtin_circle(Args, GraphicsContext &) { return Value(); }
Value builtin_triangle(Args, GraphicsContext &) { return Value(); }
Value builtin_draw(Args, GraphicsContext &) { return Value(); }
Value builtin_fill(Args, GraphicsContext &) { return Value(); }

} // namespace tovik
