// The names of the "sdl2." graphics library, said once: call_graphics
// dispatches on them and the built-in module "sdl2" exports them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tovik {

// X(short name), in the library's table order.
#define TOVIK_GRAPHICS_FUNCTIONS(X)                                          \
  X(init)                                                                    \
  X(create_window)                                                           \
  X(destroy_window)                                                          \
  X(set_window_title)                                                        \
  X(clear_screen)                                                            \
  X(render_present)                                                          \
  X(set_draw_color)                                                          \
  X(draw_point)                                                              \
  X(draw_line)                                                               \
  X(draw_rect)                                                               \
  X(fill_rect)                                                               \
  X(draw_circle)                                                             \
  X(fill_circle)                                                             \
  X(get_window_width)                                                        \
  X(get_window_height)                                                       \
  X(is_window_open)

enum class GraphicsFunction : uint8_t {
#define TOVIK_GRAPHICS_ENUM(name) name,
  TOVIK_GRAPHICS_FUNCTIONS(TOVIK_GRAPHICS_ENUM)
#undef TOVIK_GRAPHICS_ENUM
};

// Full names, "sdl2.init" ..., indexed by GraphicsFunction.
inline constexpr std::array kGraphicsFunctionNames = {
#define TOVIK_GRAPHICS_NAME(name) std::string_view("sdl2." #name),
    TOVIK_GRAPHICS_FUNCTIONS(TOVIK_GRAPHICS_NAME)
#undef TOVIK_GRAPHICS_NAME
};
static_assert(kGraphicsFunctionNames.size() == 16);

// The prefix the module "sdl2" puts before each short name.
inline constexpr std::string_view kGraphicsPrefix = "sdl2.";

} // namespace tovik
