// The narrow seam between drawing and the screen: what a backend provides.
// The real backend is an SDL window with its renderer; tests use a
// recording canvas to check the exact sequence of points and lines the
// rasterisers produce.
//
// Everything a backend does not have to know stays outside it, in the
// graphics context: argument checks, coordinate clamping, the draw colour
// filter, key names (input.h) and the frame pacing arithmetic
// (frame_pacing.h). A backend draws, shows, waits and reports events.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "graphics/input.h"

namespace tovik {

class Canvas {
public:
  virtual ~Canvas() = default;
  // False when the renderer refused; `error()` then says why.
  virtual bool set_draw_color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) = 0;
  virtual bool clear() = 0;
  virtual void draw_point(int32_t x, int32_t y) = 0;
  virtual void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  virtual void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  virtual void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  // Draws one line of UTF-8 text (no NUL, no line breaks expected) in the
  // current draw colour, its top left corner at x, y, with a font
  // `pixel_size` pixels high (1 to kLargestTextSize). What falls outside the
  // window is cut off. Empty when drawn; otherwise why the text could not
  // be drawn at all (no font, no text library), which the script receives
  // as an Error value.
  virtual std::string draw_text(std::string_view text, int32_t x, int32_t y,
                                uint32_t pixel_size) = 0;
  // Waits before a frame is shown, so that frames come at most 60 times a
  // second; the context computes `wait`. A backend that shows nothing to a
  // person (SDL's dummy driver) returns at once.
  virtual void wait_for_frame(std::chrono::nanoseconds wait) = 0;
  virtual void present() = 0;
  // Window size in pixels.
  virtual std::pair<uint32_t, uint32_t> size() const = 0;
  virtual std::string error() const { return {}; }
};

// The largest font size draw_text takes: bigger glyphs would not fit a
// window, and a backend would build huge images for them.
inline constexpr uint32_t kLargestTextSize = 1000;

// Source of window events; owned by the context once a window exists.
class EventQueue {
public:
  virtual ~EventQueue() = default;
  // Reads every pending event: begins a frame of `input` (begin_frame),
  // then reports each key (input.h), mouse move and left button change in
  // window pixels. True when one of the events asks to close the window
  // (the close button or Escape).
  virtual bool read_events(InputState &input) = 0;
};

} // namespace tovik
