// The web build's window: a canvas of the page, drawn by the worker that
// runs the interpreter (web/src/run_worker.js). Every shape is rasterised
// here into a pixel buffer, by the same walks as natively, and the whole
// frame goes to the page at present(), which waits for the display's next
// frame: so the picture is exactly the program's, and the page stays free
// between frames. Text is laid out by the worker's OffscreenCanvas and
// blended into the same pixels; the keys and mouse come back with each
// frame's acknowledgement. It implements what sdl_canvas.h declares, so the
// graphics context does not know which build it is in.
#include "graphics/sdl_canvas.h"

#include <emscripten.h>

#include <algorithm>
#include <vector>

#include "graphics/browser_input.h"
#include "graphics/raster.h"

// The page's side, when the interpreter runs in the page's worker; under
// node there is no canvas and no window opens, as on a machine with no
// display.
EM_JS(int, tovik_web_open_canvas, (const char *title, int width, int height), {
  if (!Module.tovikOpenCanvas) return 0;
  return Module.tovikOpenCanvas(UTF8ToString(title), width, height) ? 1 : 0;
});

EM_ASYNC_JS(int, tovik_web_present, (const uint8_t *pixels, int width,
                                     int height), {
  return await Module.tovikPresent(
      HEAPU8.slice(pixels, pixels + width * height * 4), width, height);
});

// The keys and mouse the page reported with the last frame shown, as
// browser_input.h reads them; written to `out` when it fits in `capacity`
// bytes with its NUL. Returns the report's length, 0 when there is none.
EM_JS(int, tovik_web_read_input, (char *out, int capacity), {
  const report = Module.tovikInputReport ? Module.tovikInputReport() : "";
  const length = lengthBytesUTF8(report);
  if (length < capacity) stringToUTF8(report, out, capacity);
  return length;
});

// Text is laid out by the worker's OffscreenCanvas in a sans-serif font of
// the page. The width of `text` in pixels at `size`, or -1 where there is
// no OffscreenCanvas (under node).
EM_JS(int, tovik_web_measure_text, (const char *text, int size), {
  if (typeof OffscreenCanvas === 'undefined') return -1;
  const context = new OffscreenCanvas(1, 1).getContext('2d');
  if (!context) return -1;
  context.font = size + 'px sans-serif';
  return Math.ceil(context.measureText(UTF8ToString(text)).width);
});

// Rasterises `text` with its top left at `left`, `top` within a `width` by
// `height` piece of the picture, and writes that piece's coverage, a byte
// per pixel, to `alpha`.
EM_JS(void, tovik_web_text_alpha, (const char *text, int size, int left,
                                   int top, int width, int height,
                                   uint8_t *alpha), {
  const context = new OffscreenCanvas(width, height).getContext('2d');
  context.font = size + 'px sans-serif';
  context.textBaseline = 'top';
  context.fillStyle = '#fff';
  context.fillText(UTF8ToString(text), left, top);
  const rgba = context.getImageData(0, 0, width, height).data;
  for (let i = 0; i < width * height; ++i) HEAPU8[alpha + i] = rgba[i * 4 + 3];
});

namespace tovik {

namespace {

// The height of a line of text at `size` pixels: the font's ascent and
// descent fit in it, as accents and descenders reach past the em square.
constexpr int64_t text_line_height(uint32_t size) {
  return (int64_t{size} * 3 + 1) / 2;
}

class WebCanvas final : public Canvas {
public:
  WebCanvas(uint32_t width, uint32_t height)
      : width_(width), height_(height),
        pixels_(size_t{width} * height * 4, 0) {
    for (size_t i = 3; i < pixels_.size(); i += 4) pixels_[i] = 255;
  }

  bool set_draw_color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override {
    colour_[0] = r;
    colour_[1] = g;
    colour_[2] = b;
    colour_[3] = a;
    return true;
  }

  bool clear() override {
    for (size_t i = 0; i < pixels_.size(); i += 4)
      std::copy(colour_, colour_ + 4, &pixels_[i]);
    return true;
  }

  void draw_point(int32_t x, int32_t y) override {
    if (x < 0 || y < 0 || static_cast<uint32_t>(x) >= width_ ||
        static_cast<uint32_t>(y) >= height_)
      return;
    size_t at = (size_t{static_cast<uint32_t>(y)} * width_ +
                 static_cast<uint32_t>(x)) * 4;
    std::copy(colour_, colour_ + 4, &pixels_[at]);
  }

  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    if (y1 == y2) {
      fill_rect(std::min(x1, x2), y1, std::max(x1, x2) - std::min(x1, x2) + 1,
                1);
      return;
    }
    raster::draw_segment(*this, x1, y1, x2, y2);
  }

  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    if (w <= 0 || h <= 0) return;
    fill_rect(x, y, w, 1);
    fill_rect(x, y + h - 1, w, 1);
    fill_rect(x, y, 1, h);
    fill_rect(x + w - 1, y, 1, h);
  }

  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override {
    int64_t left = std::max<int64_t>(x, 0);
    int64_t top = std::max<int64_t>(y, 0);
    int64_t right = std::min<int64_t>(int64_t{x} + w, width_);
    int64_t bottom = std::min<int64_t>(int64_t{y} + h, height_);
    for (int64_t row = top; row < bottom; ++row)
      for (int64_t column = left; column < right; ++column) {
        size_t at = (static_cast<size_t>(row) * width_ +
                     static_cast<size_t>(column)) * 4;
        std::copy(colour_, colour_ + 4, &pixels_[at]);
      }
  }

  // Only the part inside the window is rasterised, so a huge size or a
  // far-off position costs no more than the window. The glyphs' coverage
  // blends the draw colour over what is there.
  std::string draw_text(std::string_view text, int32_t x, int32_t y,
                        uint32_t pixel_size) override {
    const std::string terminated(text);
    const int size = static_cast<int>(pixel_size);
    const int text_width = tovik_web_measure_text(terminated.c_str(), size);
    if (text_width < 0) return "Text needs a browser's OffscreenCanvas";
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(int64_t{x} + text_width, width_);
    const int64_t bottom =
        std::min<int64_t>(int64_t{y} + text_line_height(pixel_size), height_);
    if (right <= left || bottom <= top) return {};
    const int piece_width = static_cast<int>(right - left);
    const int piece_height = static_cast<int>(bottom - top);
    std::vector<uint8_t> alpha(size_t(piece_width) * size_t(piece_height));
    tovik_web_text_alpha(terminated.c_str(), size, static_cast<int>(x - left),
                         static_cast<int>(y - top), piece_width, piece_height,
                         alpha.data());
    for (int row = 0; row < piece_height; ++row)
      for (int column = 0; column < piece_width; ++column) {
        const unsigned cover =
            alpha[size_t(row) * size_t(piece_width) + size_t(column)] *
            unsigned{colour_[3]} / 255;
        if (cover == 0) continue;
        uint8_t *pixel = &pixels_[(size_t(top + row) * width_ +
                                   size_t(left + column)) * 4];
        for (int c = 0; c < 3; ++c)
          pixel[c] = static_cast<uint8_t>(
              (colour_[c] * cover + pixel[c] * (255 - cover) + 127) / 255);
      }
    return {};
  }

  // present() itself waits for the display's next frame.
  void wait_for_frame(std::chrono::nanoseconds) override {}

  void present() override {
    tovik_web_present(pixels_.data(), static_cast<int>(width_),
                      static_cast<int>(height_));
  }

  std::pair<uint32_t, uint32_t> size() const override {
    return {width_, height_};
  }

private:
  uint32_t width_;
  uint32_t height_;
  std::vector<uint8_t> pixels_;
  uint8_t colour_[4] = {255, 255, 255, 255};
};

// The page's close is Stop, which ends the worker; Escape closes the window
// as it does natively.
class WebEventQueue final : public EventQueue {
public:
  bool read_events(InputState &input) override {
    begin_frame(input);
    for (;;) {
      int length = tovik_web_read_input(report_.data(),
                                        static_cast<int>(report_.size()));
      if (length <= 0) return false;
      if (static_cast<size_t>(length) < report_.size())
        return apply_browser_input(
            input, std::string_view(report_.data(), static_cast<size_t>(length)));
      report_.resize(static_cast<size_t>(length) + 1);
    }
  }

private:
  std::vector<char> report_ = std::vector<char>(1024);
};

} // namespace

SdlCanvas::~SdlCanvas() = default;

bool acquire_sdl_video() { return true; }
void release_sdl_video() {}
const char *unrequested_invisible_driver() { return nullptr; }

std::optional<SdlWindow> open_sdl_window(const std::string &title, int width,
                                         int height) {
  // A page canvas is kept to sizes a browser will allocate.
  constexpr int kLargest = 8192;
  if (width <= 0 || height <= 0 || width > kLargest || height > kLargest)
    return std::nullopt;
  if (!tovik_web_open_canvas(title.c_str(), width, height))
    return std::nullopt;
  SdlWindow window;
  window.canvas = std::make_unique<WebCanvas>(static_cast<uint32_t>(width),
                                              static_cast<uint32_t>(height));
  window.events = std::make_unique<WebEventQueue>();
  return window;
}

} // namespace tovik
