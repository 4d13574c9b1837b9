#include "interpreter/builtins/builtins.h"

namespace tovik {

// Placeholders until this family lands.
Value builtin_abs(Args, GraphicsContext &) { return Value(); }
Value builtin_pow(Args, GraphicsContext &) { return Value(); }
Value builtin_sqrt(Args, GraphicsContext &) { return Value(); }
Value builtin_floor(Args, GraphicsContext &) { return Value(); }
Value builtin_ceil(Args, GraphicsContext &) { return Value(); }
Value builtin_round(Args, GraphicsContext &) { return Value(); }
Value builtin_min(Args, GraphicsContext &) { return Value(); }
Value builtin_max(Args, GraphicsContext &) { return Value(); }
Value builtin_random(Args, GraphicsContext &) { return Value(); }
Value builtin_random_range(Args, GraphicsContext &) { return Value(); }

} // namespace tovik
