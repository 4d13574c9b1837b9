#include "graphics/context.h"

#include <string>

#include "graphics/clamp.h"
#include "graphics/raster.h"
#include "graphics/sdl_canvas.h"
#include "support/halt.h"

namespace tovik {

GraphicsContext::GraphicsContext() = default;

GraphicsContext::~GraphicsContext() {
  canvas.reset();      // renderer, then window
  event_queue.reset(); // events subsystem
  if (sdl_held) release_sdl_video();
}

std::string create_window(GraphicsContext &graphics, std::string_view title,
                          uint32_t width, uint32_t height) {
  if (graphics.sdl_held) return {};
  // SDL takes a C string and int sizes; these could only be mangled.
  constexpr uint32_t kLargest = 2147483647;
  if (title.find('\0') != std::string_view::npos || width > kLargest ||
      height > kLargest)
    return {};
  if (!acquire_sdl_video()) return {};
  if (const char *driver = unrequested_invisible_driver()) {
    std::string why =
        std::string("No display to show a window on (SDL video driver '") +
        driver + "'); set SDL_VIDEODRIVER to choose one";
    release_sdl_video();
    return why;
  }
  std::optional<SdlWindow> window =
      open_sdl_window(std::string(title), static_cast<int>(width),
                      static_cast<int>(height));
  if (!window) {
    release_sdl_video();
    return {};
  }
  graphics.sdl_held = true;
  graphics.canvas = std::move(window->canvas);
  graphics.event_queue = std::move(window->events);
  graphics.open = true;
  // The renderer starts with a colour of its own; giving it the recorded one
  // keeps the colour filter in set_draw_color truthful from the start.
  const DrawColour &c = graphics.draw_colour;
  if (!graphics.canvas->set_draw_color(c.r, c.g, c.b, c.a))
    throw Halt{graphics.canvas->error()};
  return {};
}

void clear_screen(GraphicsContext &graphics) {
  if (!graphics.canvas) return;
  DrawColour black{0, 0, 0, 255};
  if (!graphics.canvas->set_draw_color(black.r, black.g, black.b, black.a))
    throw Halt{graphics.canvas->error()};
  graphics.draw_colour = black;
  if (!graphics.canvas->clear())
    throw Halt{"Could not clear: " + graphics.canvas->error()};
}

void render_present(GraphicsContext &graphics) {
  if (graphics.canvas) {
    const PaceClock::time_point now = PaceClock::now();
    const PaceClock::duration wait = frame_wait(graphics.pacer, now);
    graphics.canvas->wait_for_frame(wait);
    frame_presented(graphics.pacer, now, wait);
    graphics.canvas->present();
  }
  if (graphics.event_queue && graphics.event_queue->read_events(graphics.input))
    graphics.open = false;
}

void set_draw_color(GraphicsContext &graphics, uint8_t r, uint8_t g,
                    uint8_t b) {
  DrawColour wanted{r, g, b, 255};
  if (wanted == graphics.draw_colour) return;
  if (graphics.canvas &&
      !graphics.canvas->set_draw_color(r, g, b, wanted.a))
    throw Halt{graphics.canvas->error()};
  graphics.draw_colour = wanted;
}

void draw_point(GraphicsContext &graphics, int32_t x, int32_t y) {
  if (graphics.canvas)
    graphics.canvas->draw_point(clamp_coordinate(x), clamp_coordinate(y));
}

void draw_line(GraphicsContext &graphics, int32_t x1, int32_t y1, int32_t x2,
               int32_t y2) {
  if (graphics.canvas)
    graphics.canvas->draw_line(clamp_coordinate(x1), clamp_coordinate(y1),
                               clamp_coordinate(x2), clamp_coordinate(y2));
}

void draw_rect(GraphicsContext &graphics, int32_t x, int32_t y, uint32_t w,
               uint32_t h) {
  if (graphics.canvas)
    graphics.canvas->draw_rect(clamp_coordinate(x), clamp_coordinate(y),
                               clamp_size(w), clamp_size(h));
}

void fill_rect(GraphicsContext &graphics, int32_t x, int32_t y, uint32_t w,
               uint32_t h) {
  if (graphics.canvas)
    graphics.canvas->fill_rect(clamp_coordinate(x), clamp_coordinate(y),
                               clamp_size(w), clamp_size(h));
}

void draw_circle(GraphicsContext &graphics, int32_t cx, int32_t cy,
                 int32_t radius) {
  if (graphics.canvas) raster::draw_circle(*graphics.canvas, cx, cy, radius);
}

void fill_circle(GraphicsContext &graphics, int32_t cx, int32_t cy,
                 int32_t radius) {
  if (graphics.canvas) raster::fill_circle(*graphics.canvas, cx, cy, radius);
}

void draw_triangle(GraphicsContext &graphics, const TriangleShape &triangle) {
  if (graphics.canvas) raster::draw_triangle(*graphics.canvas, triangle);
}

void fill_triangle(GraphicsContext &graphics, const TriangleShape &triangle) {
  if (graphics.canvas) raster::fill_triangle(*graphics.canvas, triangle);
}

std::string draw_text(GraphicsContext &graphics, std::string_view text,
                      int32_t x, int32_t y, uint32_t pixel_size,
                      DrawColour colour) {
  set_draw_color(graphics, colour.r, colour.g, colour.b);
  if (!graphics.canvas || text.empty()) return {};
  return graphics.canvas->draw_text(text, clamp_coordinate(x),
                                    clamp_coordinate(y), pixel_size);
}

const InputState *window_input(const GraphicsContext &graphics) {
  return graphics.canvas ? &graphics.input : nullptr;
}

std::optional<std::pair<uint32_t, uint32_t>>
window_size(const GraphicsContext &graphics) {
  if (!graphics.canvas) return std::nullopt;
  return graphics.canvas->size();
}

} // namespace tovik
