#include "graphics/sdl_canvas.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "graphics/clamp.h"
#include "graphics/raster.h"
#include "graphics/sdl_library.h"

namespace tovik {

namespace {

// Only reached once acquire_sdl_video has found the library.
const SdlLibrary &sdl() { return *sdl_library(); }

int sdl_references = 0;

// Events reach only one reader, so the process hands out one event source.
bool event_source_taken = false;

class SdlEventQueue final : public EventQueue {
public:
  SdlEventQueue() = default;
  ~SdlEventQueue() override {
    event_source_taken = false;
    sdl().QuitSubSystem(SDL_INIT_EVENTS);
  }
  SdlEventQueue(const SdlEventQueue &) = delete;
  SdlEventQueue &operator=(const SdlEventQueue &) = delete;

  bool read_events(InputState &input) override {
    begin_frame(input);
    bool close = false;
    SDL_Event event;
    while (sdl().PollEvent(&event)) {
      switch (event.type) {
      case SDL_QUIT:
        close = true;
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const bool down = event.type == SDL_KEYDOWN;
        if (down && event.key.keysym.sym == SDLK_ESCAPE) close = true;
        // A held key repeats its key-down; it is still the same press.
        if (down && event.key.repeat) break;
        if (std::optional<Key> key = key_of(event.key.keysym.sym))
          down ? key_went_down(input, *key) : key_went_up(input, *key);
        break;
      }
      case SDL_MOUSEMOTION:
        mouse_moved(input, event.motion.x, event.motion.y);
        break;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) break;
        mouse_moved(input, event.button.x, event.button.y);
        mouse_button(input, event.type == SDL_MOUSEBUTTONDOWN);
        break;
      default:
        break;
      }
    }
    return close;
  }

private:
  // By key code, so letters follow the keyboard layout the user sees.
  static std::optional<Key> key_of(SDL_Keycode code) {
    switch (code) {
    case SDLK_LEFT: return Key::Left;
    case SDLK_RIGHT: return Key::Right;
    case SDLK_UP: return Key::Up;
    case SDLK_DOWN: return Key::Down;
    case SDLK_SPACE: return Key::Space;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return Key::Enter;
    case SDLK_ESCAPE: return Key::Escape;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return Key::Shift;
    default:
      // Letter and digit key codes are their lower-case characters.
      return code >= 0 && code < 128 ? key_from_character(char32_t(code))
                                     : std::nullopt;
    }
  }
};

} // namespace

SdlCanvas::SdlCanvas(SDL_Window *window, SDL_Renderer *renderer, bool paced)
    : window_(window), renderer_(renderer), paced_(paced) {}

SdlCanvas::~SdlCanvas() {
  text_.reset(); // fonts and the text library before the renderer
  sdl().DestroyRenderer(renderer_);
  sdl().DestroyWindow(window_);
}

bool SdlCanvas::set_draw_color(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  return sdl().SetRenderDrawColor(renderer_, r, g, b, a) == 0;
}

bool SdlCanvas::clear() { return sdl().RenderClear(renderer_) == 0; }

// SDL's renderer works in single precision, which misplaces coordinates
// beyond 2^24, and for a slanted line it builds an array of every point of
// the whole line, gigabytes for one that reaches far out. So shapes are cut
// down to the window first. Points, rectangles and straight rows keep
// exactly their visible pixels; a far-reaching slanted line is walked here
// instead, by the integer walk of triangle edges.
//
// A failed point, line or rectangle only loses that shape; drawing goes on.

namespace {

// Shapes lying wholly this close to the origin go to SDL as they are.
constexpr int64_t kSafeExtent = 1 << 14;

bool safe(int64_t v) { return v > -kSafeExtent && v < kSafeExtent; }

// The part of [a, b] (in either order) inside [0, limit), as ascending ends.
bool clip_range(int64_t a, int64_t b, int64_t limit, int64_t &from,
                int64_t &to) {
  from = std::max<int64_t>(std::min(a, b), 0);
  to = std::min<int64_t>(std::max(a, b), limit - 1);
  return from <= to;
}

} // namespace

void SdlCanvas::draw_point(int32_t x, int32_t y) {
  auto [w, h] = size();
  if (x >= 0 && y >= 0 && uint32_t(x) < w && uint32_t(y) < h)
    sdl().RenderDrawPoint(renderer_, x, y);
}

void SdlCanvas::draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  auto [w, h] = size();
  int64_t from = 0, to = 0;
  if (y1 == y2) {
    if (y1 >= 0 && uint32_t(y1) < h && clip_range(x1, x2, w, from, to))
      sdl().RenderDrawLine(renderer_, int(from), y1, int(to), y1);
    return;
  }
  if (x1 == x2) {
    if (x1 >= 0 && uint32_t(x1) < w && clip_range(y1, y2, h, from, to))
      sdl().RenderDrawLine(renderer_, x1, int(from), x1, int(to));
    return;
  }
  if (safe(x1) && safe(y1) && safe(x2) && safe(y2)) {
    sdl().RenderDrawLine(renderer_, x1, y1, x2, y2);
    return;
  }
  // Walked here instead, only where it crosses the window.
  raster::draw_segment(*this, x1, y1, x2, y2);
}

void SdlCanvas::draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  int64_t right = int64_t(x) + w - 1, bottom = int64_t(y) + h - 1;
  if (safe(x) && safe(y) && safe(right) && safe(bottom)) {
    SDL_Rect rect{x, y, w, h};
    sdl().RenderDrawRect(renderer_, &rect);
    return;
  }
  // The same four edges SDL would draw, each clipped on its own.
  auto edge = [this](int64_t ax, int64_t ay, int64_t bx, int64_t by) {
    draw_line(clamp_coordinate(ax), clamp_coordinate(ay),
              clamp_coordinate(bx), clamp_coordinate(by));
  };
  edge(x, y, right, y);
  edge(x, bottom, right, bottom);
  edge(x, y, x, bottom);
  edge(right, y, right, bottom);
}

void SdlCanvas::fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  auto [width, height] = size();
  int64_t left = 0, right = 0, top = 0, bottom = 0;
  if (!clip_range(x, int64_t(x) + w - 1, width, left, right) ||
      !clip_range(y, int64_t(y) + h - 1, height, top, bottom))
    return;
  SDL_Rect rect{int(left), int(top), int(right - left + 1),
                int(bottom - top + 1)};
  sdl().RenderFillRect(renderer_, &rect);
}

std::string SdlCanvas::draw_text(std::string_view text, int32_t x, int32_t y,
                                 uint32_t pixel_size) {
  if (!text_) {
    std::string why;
    text_ = SdlText::open(why);
    if (!text_) return why;
  }
  auto [width, height] = size();
  return text_->draw(renderer_, text, x, y, int(pixel_size), int(width),
                     int(height));
}

void SdlCanvas::wait_for_frame(std::chrono::nanoseconds wait) {
  if (paced_ && wait > std::chrono::nanoseconds::zero())
    std::this_thread::sleep_for(wait);
}

void SdlCanvas::present() { sdl().RenderPresent(renderer_); }

std::pair<uint32_t, uint32_t> SdlCanvas::size() const {
  int w = 0, h = 0;
  sdl().GetWindowSize(window_, &w, &h);
  return {static_cast<uint32_t>(w), static_cast<uint32_t>(h)};
}

std::string SdlCanvas::error() const { return sdl().GetError(); }

bool acquire_sdl_video() {
  if (!sdl_library() || sdl().Init(0) != 0) return false;
  ++sdl_references;
  if (sdl().InitSubSystem(SDL_INIT_VIDEO) != 0) {
    if (--sdl_references == 0) sdl().Quit();
    return false;
  }
  return true;
}

namespace {

// The video drivers that show nothing to a person.
bool invisible_driver(const char *driver) {
  if (!driver) return false;
  for (const char *invisible : {"offscreen", "dummy", "evdev"})
    if (std::strcmp(driver, invisible) == 0) return true;
  return false;
}

} // namespace

const char *unrequested_invisible_driver() {
  const char *requested = std::getenv("SDL_VIDEODRIVER");
  if (requested && *requested) return nullptr;
  const char *driver = sdl().GetCurrentVideoDriver();
  return invisible_driver(driver) ? driver : nullptr;
}

void release_sdl_video() {
  sdl().QuitSubSystem(SDL_INIT_VIDEO);
  if (--sdl_references == 0) sdl().Quit();
}

std::optional<SdlWindow> open_sdl_window(const std::string &title, int width,
                                         int height) {
  SDL_Window *window =
      sdl().CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED,
                       SDL_WINDOWPOS_UNDEFINED, width, height, 0);
  if (!window) return std::nullopt;
  SDL_Renderer *renderer = sdl().CreateRenderer(window, -1, 0);
  if (!renderer) {
    sdl().DestroyWindow(window);
    return std::nullopt;
  }
  // Nobody watches frames on a driver that shows nothing: tests and
  // screenshots run there at full speed.
  const bool paced = !invisible_driver(sdl().GetCurrentVideoDriver());
  auto canvas = std::make_unique<SdlCanvas>(window, renderer, paced);
  if (sdl().GetWindowPixelFormat(window) == SDL_PIXELFORMAT_UNKNOWN)
    return std::nullopt;
  if (sdl().InitSubSystem(SDL_INIT_EVENTS) != 0) return std::nullopt;
  if (event_source_taken) {
    sdl().QuitSubSystem(SDL_INIT_EVENTS);
    return std::nullopt;
  }
  event_source_taken = true;
  return SdlWindow{std::move(canvas), std::make_unique<SdlEventQueue>()};
}

} // namespace tovik
