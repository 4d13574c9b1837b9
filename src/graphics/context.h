// The interpreter's one graphics context: at most one window, opened on
// request and kept until the interpreter is released.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "graphics/canvas.h"
#include "graphics/frame_pacing.h"
#include "graphics/input.h"
#include "interpreter/value.h"

namespace tovik {

struct DrawColour {
  uint8_t r = 255, g = 255, b = 255, a = 255;
  bool operator==(const DrawColour &) const = default;
};

struct GraphicsContext {
  std::unique_ptr<EventQueue> event_queue;
  std::unique_ptr<Canvas> canvas;
  DrawColour draw_colour;
  // Keys and mouse as of the last present.
  InputState input;
  FramePacer pacer;
  bool sdl_held = false;
  bool open = false;

  GraphicsContext();
  // Releases the renderer, the window, the subsystems and then SDL itself.
  ~GraphicsContext();
  GraphicsContext(const GraphicsContext &) = delete;
  GraphicsContext &operator=(const GraphicsContext &) = delete;
};

// Opens the window with its renderer and event source. Only the first
// success counts; a failure leaves the context as it was and may be retried.
// Failures are silent (the result is empty) except one a user would not
// otherwise notice: SDL landing, unasked, on a driver that shows nothing.
// Then the result says so.
std::string create_window(GraphicsContext &graphics, std::string_view title,
                          uint32_t width, uint32_t height);
// Clears to black. Stops the run (Halt) when the renderer refuses.
void clear_screen(GraphicsContext &graphics);
// Waits until one frame interval after the previous frame, shows the
// frame, then reads every pending event into `input`; a close request or
// Escape clears `open`.
void render_present(GraphicsContext &graphics);
// Records the colour and hands it to the renderer only when it changed.
// Stops the run (Halt) when the renderer refuses.
void set_draw_color(GraphicsContext &graphics, uint8_t r, uint8_t g,
                    uint8_t b);

// Drawing with the current colour; nothing happens without a window.
void draw_point(GraphicsContext &graphics, int32_t x, int32_t y);
void draw_line(GraphicsContext &graphics, int32_t x1, int32_t y1, int32_t x2,
               int32_t y2);
void draw_rect(GraphicsContext &graphics, int32_t x, int32_t y, uint32_t w,
               uint32_t h);
void fill_rect(GraphicsContext &graphics, int32_t x, int32_t y, uint32_t w,
               uint32_t h);
void draw_circle(GraphicsContext &graphics, int32_t cx, int32_t cy,
                 int32_t radius);
void fill_circle(GraphicsContext &graphics, int32_t cx, int32_t cy,
                 int32_t radius);
void draw_triangle(GraphicsContext &graphics, const TriangleShape &triangle);
void fill_triangle(GraphicsContext &graphics, const TriangleShape &triangle);
// Text in `colour`, which becomes the draw colour as it does for draw and
// fill; `pixel_size` from 1 to kLargestTextSize and no NUL in `text`, which
// the callers check. Empty when drawn or without a window; otherwise why
// the text could not be drawn.
std::string draw_text(GraphicsContext &graphics, std::string_view text,
                      int32_t x, int32_t y, uint32_t pixel_size,
                      DrawColour colour);

// The keys and mouse as of the last present; nothing without a window.
const InputState *window_input(const GraphicsContext &graphics);

// Width and height in pixels; nothing without a window.
std::optional<std::pair<uint32_t, uint32_t>>
window_size(const GraphicsContext &graphics);
inline bool is_window_open(const GraphicsContext &graphics) {
  return graphics.open;
}

// The "sdl2." library: answers the 16 names it knows, nothing otherwise.
std::optional<Value> call_graphics(std::string_view name,
                                   std::span<Value> args,
                                   GraphicsContext &graphics);

} // namespace tovik
