// A canvas that records every call, to check the exact sequence of points
// and lines the drawing code sends.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/canvas.h"

namespace tovik {

struct CanvasCall {
  enum Kind { Colour, Clear, Point, Line, Rect, FillRect, Text, Wait, Present } kind;
  int64_t a = 0, b = 0, c = 0, d = 0;
  bool operator==(const CanvasCall &) const = default;
};

inline CanvasCall point(int64_t x, int64_t y) {
  return {CanvasCall::Point, x, y};
}
inline CanvasCall line(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  return {CanvasCall::Line, x1, y1, x2, y2};
}
inline CanvasCall colour(int64_t r, int64_t g, int64_t b) {
  return {CanvasCall::Colour, r, g, b, 255};
}

inline std::ostream &operator<<(std::ostream &out, const CanvasCall &call) {
  static const char *names[] = {"colour",    "clear", "point", "line", "rect",
                                "fill_rect", "text",  "wait",  "present"};
  return out << names[call.kind] << "(" << call.a << ", " << call.b << ", "
             << call.c << ", " << call.d << ")";
}

class RecordingCanvas final : public Canvas {
public:
  RecordingCanvas(uint32_t width = 100000, uint32_t height = 100000)
      : width_(width), height_(height) {}

  std::vector<CanvasCall> calls;
  bool refuse_colour = false;
  bool refuse_clear = false;
  std::vector<std::string> texts;
  std::string text_failure;

  bool set_draw_color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override {
    if (refuse_colour) return false;
    calls.push_back({CanvasCall::Colour, r, g, b, a});
    return true;
  }
  bool clear() override {
    if (refuse_clear) return false;
    calls.push_back({CanvasCall::Clear});
    return true;
  }
  void draw_point(int32_t x, int32_t y) override {
    calls.push_back(point(x, y));
  }
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    calls.push_back(line(x1, y1, x2, y2));
  }
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    calls.push_back({CanvasCall::Rect, x, y, w, h});
  }
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    calls.push_back({CanvasCall::FillRect, x, y, w, h});
  }
  // The text itself is kept in `texts`; the call records where and how big.
  std::string draw_text(std::string_view text, int32_t x, int32_t y,
                        uint32_t pixel_size) override {
    texts.emplace_back(text);
    calls.push_back({CanvasCall::Text, x, y, pixel_size});
    return text_failure;
  }
  void wait_for_frame(std::chrono::nanoseconds wait) override {
    calls.push_back({CanvasCall::Wait, wait.count()});
  }
  void present() override { calls.push_back({CanvasCall::Present}); }
  std::pair<uint32_t, uint32_t> size() const override {
    return {width_, height_};
  }
  std::string error() const override { return "renderer is gone"; }

private:
  uint32_t width_, height_;
};

} // namespace tovik
