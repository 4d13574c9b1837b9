#include "interpreter/builtins/builtins.h"

namespace tovik {

// Placeholders until this family lands.
Value builtin_window(Args, GraphicsContext &) { return Value(); }
Value builtin_clear(Args, GraphicsContext &) { return Value(); }
Value builtin_present(Args, GraphicsContext &) { return Value(); }
Value builtin_is_open(Args, GraphicsContext &) { return Value(); }
Value builtin_window_width(Args, GraphicsContext &) { return Value(); }
Value builtin_window_height(Args, GraphicsContext &) { return Value(); }

} // namespace tovik
