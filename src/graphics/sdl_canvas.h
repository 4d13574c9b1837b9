// The real canvas and event source: an SDL window with its renderer.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "graphics/canvas.h"
#include "graphics/context.h"
#include "graphics/sdl_text.h"

struct SDL_Window;
struct SDL_Renderer;

namespace tovik {

class SdlCanvas final : public Canvas {
public:
  SdlCanvas(SDL_Window *window, SDL_Renderer *renderer, bool paced);
  // Renderer first: it draws into the window.
  ~SdlCanvas() override;
  SdlCanvas(const SdlCanvas &) = delete;
  SdlCanvas &operator=(const SdlCanvas &) = delete;

  bool set_draw_color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
  bool clear() override;
  void draw_point(int32_t x, int32_t y) override;
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  std::string draw_text(std::string_view text, int32_t x, int32_t y,
                        uint32_t pixel_size) override;
  void wait_for_frame(std::chrono::nanoseconds wait) override;
  void present() override;
  std::pair<uint32_t, uint32_t> size() const override;
  std::string error() const override;

  SDL_Renderer *renderer() const { return renderer_; }

private:
  SDL_Window *window_;
  SDL_Renderer *renderer_;
  bool paced_;
  // Opened on the first text drawn: most scripts never draw any.
  std::unique_ptr<SdlText> text_;
};

// One reference to the SDL library with its video subsystem. SDL is shut
// down when the last reference in the process goes, so a module's context
// cannot pull SDL from under the main script's window.
bool acquire_sdl_video();
void release_sdl_video();

// With SDL video held: the name of the video driver SDL settled on when it
// is one that shows nothing to a person and nobody asked for it (the
// SDL_VIDEODRIVER environment variable is unset), else null. SDL falls back
// to such drivers by itself when there is no display.
const char *unrequested_invisible_driver();

struct SdlWindow {
  std::unique_ptr<Canvas> canvas;
  std::unique_ptr<EventQueue> events;
};

// Creates the window, its renderer and the event source, for a caller that
// holds SDL video. On failure releases what it acquired, in reverse order,
// and returns nothing. `title` must not contain NUL.
std::optional<SdlWindow> open_sdl_window(const std::string &title,
                                         int width, int height);

} // namespace tovik
