#include "graphics/sdl_canvas.h"

#include <SDL.h>

namespace tovik {

namespace {

int sdl_references = 0;

// Events reach only one reader, so the process hands out one event source.
bool event_source_taken = false;

class SdlEventQueue final : public EventQueue {
public:
  SdlEventQueue() = default;
  ~SdlEventQueue() override {
    event_source_taken = false;
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }
  SdlEventQueue(const SdlEventQueue &) = delete;
  SdlEventQueue &operator=(const SdlEventQueue &) = delete;

  bool poll_close_requested() override {
    bool close = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
      if (event.type == SDL_QUIT) close = true;
      if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE)
        close = true;
    }
    return close;
  }
};

} // namespace

SdlCanvas::~SdlCanvas() {
  SDL_DestroyRenderer(renderer_);
  SDL_DestroyWindow(window_);
}

bool SdlCanvas::set_draw_color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return SDL_SetRenderDrawColor(renderer_, r, g, b, a) == 0;
}

bool SdlCanvas::clear() { return SDL_RenderClear(renderer_) == 0; }

// A failed point, line or rectangle only loses that shape; drawing goes on.
void SdlCanvas::draw_point(int32_t x, int32_t y) {
  SDL_RenderDrawPoint(renderer_, x, y);
}

void SdlCanvas::draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  SDL_RenderDrawLine(renderer_, x1, y1, x2, y2);
}

void SdlCanvas::draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  SDL_Rect rect{x, y, w, h};
  SDL_RenderDrawRect(renderer_, &rect);
}

void SdlCanvas::fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  SDL_Rect rect{x, y, w, h};
  SDL_RenderFillRect(renderer_, &rect);
}

void SdlCanvas::present() { SDL_RenderPresent(renderer_); }

std::pair<uint32_t, uint32_t> SdlCanvas::size() const {
  int w = 0, h = 0;
  SDL_GetWindowSize(window_, &w, &h);
  return {static_cast<uint32_t>(w), static_cast<uint32_t>(h)};
}

std::string SdlCanvas::error() const { return SDL_GetError(); }

bool acquire_sdl_video() {
  if (SDL_Init(0) != 0) return false;
  ++sdl_references;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (--sdl_references == 0) SDL_Quit();
    return false;
  }
  return true;
}

void release_sdl_video() {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  if (--sdl_references == 0) SDL_Quit();
}

std::optional<SdlWindow> open_sdl_window(const std::string &title, int width,
                                         int height) {
  SDL_Window *window =
      SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED,
                       SDL_WINDOWPOS_UNDEFINED, width, height, 0);
  if (!window) return std::nullopt;
  SDL_Renderer *renderer = SDL_CreateRenderer(window, -1, 0);
  if (!renderer) {
    SDL_DestroyWindow(window);
    return std::nullopt;
  }
  auto canvas = std::make_unique<SdlCanvas>(window, renderer);
  if (SDL_GetWindowPixelFormat(window) == SDL_PIXELFORMAT_UNKNOWN)
    return std::nullopt;
  if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) return std::nullopt;
  if (event_source_taken) {
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    return std::nullopt;
  }
  event_source_taken = true;
  return SdlWindow{std::move(canvas), std::make_unique<SdlEventQueue>()};
}

} // namespace tovik
