// The narrow seam between drawing and the screen. The real canvas is an SDL
// window with its renderer; tests use a recording canvas to check the exact
// sequence of points and lines the rasterisers produce.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

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
  virtual void present() = 0;
  // Window size in pixels.
  virtual std::pair<uint32_t, uint32_t> size() const = 0;
  virtual std::string error() const { return {}; }
};

} // namespace tovik
