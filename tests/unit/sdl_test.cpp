// End to end through real SDL with the headless video driver: what the
// context draws is read back from the renderer.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "graphics/context.h"
#include "graphics/sdl_canvas.h"
#include "interpreter/builtins/builtins.h"

namespace tovik {
namespace {

class SdlWindowTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { setenv("SDL_VIDEODRIVER", "dummy", 1); }

  // Opens a window or fails the test.
  void open(GraphicsContext &graphics, uint32_t w, uint32_t h) {
    create_window(graphics, "Tovik", w, h);
    ASSERT_TRUE(graphics.canvas) << SDL_GetError();
  }

  // Reads the whole frame as RGB triples, row by row.
  std::vector<uint32_t> pixels(GraphicsContext &graphics) {
    auto *canvas = dynamic_cast<SdlCanvas *>(graphics.canvas.get());
    EXPECT_NE(canvas, nullptr);
    auto [w, h] = canvas->size();
    std::vector<uint32_t> frame(size_t(w) * h);
    int status = SDL_RenderReadPixels(canvas->renderer(), nullptr,
                                      SDL_PIXELFORMAT_RGB888, frame.data(),
                                      int(w * 4));
    EXPECT_EQ(status, 0) << SDL_GetError();
    for (uint32_t &p : frame) p &= 0xffffff;
    width_ = w;
    return frame;
  }
  uint32_t at(const std::vector<uint32_t> &frame, int x, int y) const {
    return frame[size_t(y) * width_ + x];
  }
  // Coordinates of every pixel of the given colour.
  std::vector<std::pair<int, int>> where(const std::vector<uint32_t> &frame,
                                         uint32_t rgb) const {
    std::vector<std::pair<int, int>> found;
    for (size_t i = 0; i < frame.size(); ++i)
      if (frame[i] == rgb) found.push_back({int(i % width_), int(i / width_)});
    return found;
  }

  uint32_t width_ = 0;
};

constexpr uint32_t kRed = 0xff0000, kBlack = 0, kGreen = 0x00ff00;

TEST_F(SdlWindowTest, WindowOpensOnceWithItsSize) {
  GraphicsContext graphics;
  EXPECT_FALSE(window_size(graphics));
  open(graphics, 64, 48);
  EXPECT_TRUE(graphics.open);
  EXPECT_TRUE(graphics.sdl_held);
  EXPECT_EQ(window_size(graphics), (std::pair<uint32_t, uint32_t>{64, 48}));
  SDL_Window *first = SDL_GetWindowFromID(1);
  create_window(graphics, "Other", 100, 100); // ignored
  EXPECT_EQ(window_size(graphics), (std::pair<uint32_t, uint32_t>{64, 48}));
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(first), "Tovik");
}

TEST_F(SdlWindowTest, BadTitleOrSizeFailsQuietlyAndMayBeRetried) {
  GraphicsContext graphics;
  create_window(graphics, std::string_view("a\0b", 3), 10, 10);
  create_window(graphics, "Tovik", 2147483648u, 10);
  create_window(graphics, "Tovik", 10, 4294967295u);
  EXPECT_FALSE(graphics.canvas);
  EXPECT_FALSE(graphics.event_queue);
  EXPECT_FALSE(graphics.sdl_held);
  EXPECT_FALSE(graphics.open);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u); // nothing was left acquired
  open(graphics, 10, 10);
}

TEST_F(SdlWindowTest, ReleasingTheContextShutsSdlDown) {
  {
    GraphicsContext graphics;
    open(graphics, 8, 8);
    EXPECT_NE(SDL_WasInit(SDL_INIT_VIDEO | SDL_INIT_EVENTS), 0u);
  }
  EXPECT_EQ(SDL_WasInit(SDL_INIT_EVENTS), 0u);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_VIDEO), 0u);
}

TEST_F(SdlWindowTest, SecondContextCannotTakeTheEventsNorStopSdl) {
  GraphicsContext main_context;
  open(main_context, 16, 16);
  {
    GraphicsContext module_context;
    create_window(module_context, "Tovik", 16, 16);
    EXPECT_FALSE(module_context.canvas); // one event source per process
    EXPECT_FALSE(module_context.sdl_held);
  }
  // The failed attempt released only its own share.
  set_draw_color(main_context, 255, 0, 0);
  fill_rect(main_context, 0, 0, 16, 16);
  EXPECT_EQ(at(pixels(main_context), 5, 5), kRed);
}

TEST_F(SdlWindowTest, ShapesReachTheRenderer) {
  GraphicsContext graphics;
  open(graphics, 40, 30);
  clear_screen(graphics);
  set_draw_color(graphics, 255, 0, 0);
  fill_rect(graphics, 2, 3, 4, 5);
  auto frame = pixels(graphics);
  EXPECT_EQ(where(frame, kRed).size(), 20u);
  EXPECT_EQ(at(frame, 2, 3), kRed);
  EXPECT_EQ(at(frame, 5, 7), kRed);
  EXPECT_EQ(at(frame, 6, 7), kBlack);

  clear_screen(graphics);
  set_draw_color(graphics, 0, 255, 0);
  fill_circle(graphics, 10, 10, 1);
  EXPECT_EQ(where(pixels(graphics), kGreen),
            (std::vector<std::pair<int, int>>{
                {10, 9}, {9, 10}, {10, 10}, {11, 10}, {10, 11}}));

  // A zero width still draws one column; a huge fill covers everything.
  clear_screen(graphics);
  set_draw_color(graphics, 255, 0, 0);
  draw_rect(graphics, 4, 4, 0, 3);
  EXPECT_EQ(where(pixels(graphics), kRed),
            (std::vector<std::pair<int, int>>{{4, 4}, {4, 5}, {4, 6}}));
  fill_circle(graphics, 0, 0, 2000000000);
  EXPECT_EQ(where(pixels(graphics), kRed).size(), 40u * 30u);

  // Shapes reaching far out show exactly their part inside the window.
  clear_screen(graphics);
  set_draw_color(graphics, 255, 0, 0);
  draw_line(graphics, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  draw_line(graphics, INT32_MIN, 29, 9, 29);
  draw_line(graphics, 39, INT32_MAX, 39, 20);
  frame = pixels(graphics);
  EXPECT_EQ(where(frame, kRed).size(), 30u + 10u + 10u);
  for (int k = 0; k < 30; ++k) EXPECT_EQ(at(frame, k, k), kRed) << k;
  EXPECT_EQ(at(frame, 9, 29), kRed);
  EXPECT_EQ(at(frame, 10, 29), kBlack);

  clear_screen(graphics);
  set_draw_color(graphics, 255, 0, 0);
  draw_rect(graphics, -1073741000, 3, 1073741010, 2000000000); // right edge 9
  fill_rect(graphics, -1073741000, 20, 0xffffffffu, 2);        // 2 full rows
  fill_rect(graphics, INT32_MIN, 0, 0xffffffffu, 30); // ends left of 0
  frame = pixels(graphics);
  EXPECT_EQ(where(frame, kRed).size(), 10u + 26u + 2u * 40u - 2u);
  EXPECT_EQ(at(frame, 9, 3), kRed);
  EXPECT_EQ(at(frame, 9, 29), kRed);
  EXPECT_EQ(at(frame, 10, 3), kBlack);

  clear_screen(graphics);
  set_draw_color(graphics, 0, 255, 0);
  fill_triangle(graphics, {0, 0, 10, 0, 0, 10});
  draw_triangle(graphics, {20, 20, 20, 20, 20, 20});
  frame = pixels(graphics);
  EXPECT_EQ(where(frame, kGreen).size(), 66u + 1u); // 11 + 10 + ... + 1
  EXPECT_EQ(at(frame, 10, 0), kGreen);
  EXPECT_EQ(at(frame, 20, 20), kGreen);
}

TEST_F(SdlWindowTest, RecordedColourMatchesTheRendererFromTheStart) {
  GraphicsContext graphics;
  open(graphics, 8, 8);
  Uint8 r, g, b, a;
  auto *canvas = dynamic_cast<SdlCanvas *>(graphics.canvas.get());
  ASSERT_EQ(SDL_GetRenderDrawColor(canvas->renderer(), &r, &g, &b, &a), 0);
  EXPECT_EQ((DrawColour{r, g, b, a}), graphics.draw_colour);
}

TEST_F(SdlWindowTest, QuitOrEscapeClosesOnPresent) {
  GraphicsContext graphics;
  open(graphics, 8, 8);
  auto push_key = [](Uint32 type, SDL_Keycode key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
  };
  push_key(SDL_KEYUP, SDLK_ESCAPE);
  push_key(SDL_KEYDOWN, SDLK_SPACE);
  render_present(graphics);
  EXPECT_TRUE(graphics.open);

  push_key(SDL_KEYDOWN, SDLK_ESCAPE);
  EXPECT_TRUE(graphics.open); // events are read only when presenting
  render_present(graphics);
  EXPECT_FALSE(graphics.open);
  EXPECT_EQ(SDL_PollEvent(nullptr), 0); // every pending event was read

  // Drawing and presenting go on working after the close request.
  set_draw_color(graphics, 255, 0, 0);
  fill_rect(graphics, 0, 0, 2, 2);
  EXPECT_EQ(where(pixels(graphics), kRed).size(), 4u);
  render_present(graphics);
  EXPECT_FALSE(graphics.open);
}

TEST_F(SdlWindowTest, QuitEventCloses) {
  GraphicsContext graphics;
  // Opening fails while another context holds the event source, so this
  // context is the only one here.
  open(graphics, 8, 8);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  render_present(graphics);
  EXPECT_FALSE(graphics.open);
}

// The "sdl2." library's answers and messages.

Value call(GraphicsContext &graphics, std::string_view name,
           std::vector<Value> args) {
  std::optional<Value> result = call_graphics(name, args, graphics);
  EXPECT_TRUE(result) << name;
  return result ? *result : Value::string("<declined>");
}

Value num(int64_t n) { return Value::number(n); }

TEST_F(SdlWindowTest, LibraryChecksCountThenVariants) {
  GraphicsContext graphics;
  Value text = Value::string("0");
  struct Case {
    std::string_view name;
    std::vector<Value> short_args, bad_args;
    std::string too_few, wrong;
  };
  std::vector<Case> cases = {
      {"sdl2.create_window", {text, num(1)}, {num(5), num(1), num(1)},
       "create_window requires 3 arguments",
       "Invalid arguments for create_window"},
      {"sdl2.set_window_title", {text}, {text, num(1)},
       "set_window_title requires 2 arguments", "Title must be a string"},
      {"sdl2.set_draw_color", {num(1), num(2)}, {num(255), num(0), text},
       "set_draw_color requires 3 arguments", "Color values must be numbers"},
      {"sdl2.draw_point", {num(1)}, {num(1), text},
       "draw_point requires 2 arguments", "Coordinates must be numbers"},
      {"sdl2.draw_line", {num(1), num(1), num(1)},
       {num(1), num(1), num(1), text}, "draw_line requires 4 arguments",
       "Coordinates must be numbers"},
      {"sdl2.draw_rect", {}, {text, num(1), num(1), num(1)},
       "draw_rect requires 4 arguments",
       "Rectangle parameters must be numbers"},
      {"sdl2.fill_rect", {num(1)}, {num(1), num(1), Value(), num(1)},
       "fill_rect requires 4 arguments",
       "Rectangle parameters must be numbers"},
      {"sdl2.draw_circle", {num(1), num(1)}, {num(1), num(1), text},
       "draw_circle requires 3 arguments", "Circle parameters must be numbers"},
      {"sdl2.fill_circle", {}, {text, num(1), num(1)},
       "fill_circle requires 3 arguments", "Circle parameters must be numbers"},
  };
  for (const Case &c : cases) {
    Value few = call(graphics, c.name, c.short_args);
    EXPECT_TRUE(few.is(ValueKind::Error)) << c.name;
    EXPECT_EQ(to_text(few), "Error: " + c.too_few);
    Value bad = call(graphics, c.name, c.bad_args);
    EXPECT_TRUE(bad.is(ValueKind::Error)) << c.name;
    EXPECT_EQ(to_text(bad), "Error: " + c.wrong);
  }
  // A count shortfall is reported even when the variants are also wrong.
  EXPECT_EQ(to_text(call(graphics, "sdl2.draw_line", {text})),
            "Error: draw_line requires 4 arguments");
  // No failed call had an effect.
  EXPECT_FALSE(graphics.canvas);
  EXPECT_EQ(graphics.draw_colour, DrawColour{});
}

TEST_F(SdlWindowTest, LibraryResults) {
  GraphicsContext graphics;
  EXPECT_FALSE(call_graphics("sdl2.nothing", {}, graphics));
  EXPECT_FALSE(call_graphics("sdl2.Init", {}, graphics));
  EXPECT_FALSE(call_graphics("init", {}, graphics));
  EXPECT_EQ(to_text(call(graphics, "sdl2.init", {num(1)})), "true");
  EXPECT_FALSE(graphics.canvas);
  EXPECT_TRUE(call(graphics, "sdl2.get_window_width", {}).is_null());
  EXPECT_TRUE(call(graphics, "sdl2.get_window_height", {}).is_null());
  EXPECT_EQ(to_text(call(graphics, "sdl2.is_window_open", {})), "false");

  // Sizes keep their low 32 bits: 2^32 + 32 is 32.
  Value created = call(graphics, "sdl2.create_window",
                       {Value::string("T"), num(4294967328),
                        Value::real(24.9)});
  EXPECT_EQ(to_text(created), "1");
  EXPECT_EQ(to_text(call(graphics, "sdl2.get_window_width", {})), "32");
  EXPECT_EQ(to_text(call(graphics, "sdl2.get_window_height", {})), "24");
  EXPECT_EQ(to_text(call(graphics, "sdl2.is_window_open", {})), "true");
  EXPECT_EQ(to_text(call(graphics, "sdl2.create_window",
                         {Value::string("T"), num(1), num(1)})),
            "1");
  EXPECT_EQ(to_text(call(graphics, "sdl2.get_window_width", {})), "32");

  EXPECT_TRUE(call(graphics, "sdl2.destroy_window", {}).is_null());
  EXPECT_TRUE(
      call(graphics, "sdl2.set_window_title", {num(0), Value::string("x")})
          .is_null());
  EXPECT_TRUE(graphics.open);

  // Colour components keep their low 8 bits: 256 is 0.
  call(graphics, "sdl2.set_draw_color", {num(256), num(0), num(0)});
  EXPECT_EQ(graphics.draw_colour, (DrawColour{0, 0, 0, 255}));
  call(graphics, "sdl2.set_draw_color", {num(255), num(-256), num(0)});
  call(graphics, "sdl2.clear_screen", {});
  call(graphics, "sdl2.set_draw_color", {num(255), num(0), num(0)});
  call(graphics, "sdl2.fill_circle", {num(16), num(12), num(4294967298)});
  call(graphics, "sdl2.draw_point", {num(0), num(0)});
  call(graphics, "sdl2.draw_line",
       {num(0), num(23), Value::real(31.7), num(23)});
  call(graphics, "sdl2.draw_circle", {num(16), num(12), num(-3)});
  auto frame = pixels(graphics);
  EXPECT_EQ(at(frame, 16, 10), kRed); // radius 2^32 + 2 is 2
  EXPECT_EQ(at(frame, 16, 9), kBlack);
  EXPECT_EQ(at(frame, 0, 0), kRed);
  EXPECT_EQ(at(frame, 31, 23), kRed);
  EXPECT_EQ(where(frame, kRed).size(), 13u + 1u + 32u);
  EXPECT_TRUE(call(graphics, "sdl2.render_present", {}).is_null());
}

TEST_F(SdlWindowTest, WindowBuiltinsAreQuiet) {
  GraphicsContext graphics;
  std::vector<Value> none;
  EXPECT_EQ(to_text(builtin_is_open(none, graphics)), "false");
  EXPECT_TRUE(builtin_window_width(none, graphics).is_null());
  std::vector<Value> wrong = {Value::string("640"), num(480)};
  EXPECT_TRUE(builtin_window(wrong, graphics).is_null());
  std::vector<Value> one = {num(640)};
  EXPECT_TRUE(builtin_window(one, graphics).is_null());
  EXPECT_FALSE(graphics.canvas);

  std::vector<Value> size = {num(64), Value::real(48.5), Value::string("x")};
  EXPECT_TRUE(builtin_window(size, graphics).is_null());
  EXPECT_EQ(to_text(builtin_window_width(none, graphics)), "64");
  EXPECT_EQ(to_text(builtin_window_height(none, graphics)), "48");
  EXPECT_EQ(to_text(builtin_is_open(none, graphics)), "true");
  EXPECT_TRUE(builtin_clear(none, graphics).is_null());
  EXPECT_TRUE(builtin_present(none, graphics).is_null());
}


// Keys and the mouse, as SDL events reach them.

TEST_F(SdlWindowTest, KeysAndMouseAsOfTheLastPresent) {
  GraphicsContext graphics;
  EXPECT_EQ(window_input(graphics), nullptr);
  open(graphics, 64, 48);
  auto push_key = [](Uint32 type, SDL_Keycode key, bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat;
    SDL_PushEvent(&event);
  };
  auto down = [&](Key key) { return key_is_down(*window_input(graphics), key); };
  push_key(SDL_KEYDOWN, SDLK_LEFT);
  push_key(SDL_KEYDOWN, SDLK_RSHIFT);
  push_key(SDL_KEYDOWN, SDLK_KP_ENTER);
  push_key(SDL_KEYDOWN, 'q');
  push_key(SDL_KEYUP, 'q'); // a tap within one frame
  push_key(SDL_KEYDOWN, SDLK_F1); // no name: ignored
  EXPECT_FALSE(down(Key::Left)); // nothing is seen before present
  render_present(graphics);
  EXPECT_TRUE(down(Key::Left) && down(Key::Shift) && down(Key::Enter));
  EXPECT_TRUE(down(Key::Q));
  EXPECT_FALSE(down(Key::Right));

  push_key(SDL_KEYDOWN, SDLK_LEFT, true); // repeats change nothing
  push_key(SDL_KEYUP, SDLK_RSHIFT);
  render_present(graphics);
  EXPECT_TRUE(down(Key::Left));
  EXPECT_FALSE(down(Key::Shift));
  EXPECT_FALSE(down(Key::Q)); // the tap lasted one frame

  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.x = 12;
  event.motion.y = 34;
  SDL_PushEvent(&event);
  event = {};
  event.type = SDL_MOUSEBUTTONDOWN;
  event.button.button = SDL_BUTTON_RIGHT;
  event.button.x = 1;
  SDL_PushEvent(&event); // only the left button counts
  render_present(graphics);
  EXPECT_EQ(window_input(graphics)->mouse_x, 12);
  EXPECT_EQ(window_input(graphics)->mouse_y, 34);
  EXPECT_FALSE(mouse_is_down(*window_input(graphics)));
  event.button.button = SDL_BUTTON_LEFT;
  event.button.x = 20;
  event.button.y = 21;
  SDL_PushEvent(&event);
  render_present(graphics);
  EXPECT_TRUE(mouse_is_down(*window_input(graphics)));
  EXPECT_EQ(window_input(graphics)->mouse_x, 20);
  EXPECT_TRUE(graphics.open);
}

// Text through SDL_ttf, read back from the renderer.

constexpr uint32_t kYellow = 0xffff00;

// The bounding box of every pixel that is not black; empty when none is.
struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool empty() const { return right < 0; }
};
Box lit_box(const std::vector<uint32_t> &frame, int width) {
  Box box;
  for (size_t i = 0; i < frame.size(); ++i) {
    if (frame[i] == kBlack) continue;
    int x = int(i % width), y = int(i / width);
    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
           std::max(box.bottom, y)};
  }
  return box;
}

TEST_F(SdlWindowTest, TextLandsInItsBoxInTheDrawColour) {
  GraphicsContext graphics;
  open(graphics, 200, 100);
  clear_screen(graphics);
  ASSERT_EQ(draw_text(graphics, "Hello", 20, 30, 24, {255, 255, 0, 255}), "");
  auto frame = pixels(graphics);
  EXPECT_GT(where(frame, kYellow).size(), 20u); // glyph cores in full colour
  Box box = lit_box(frame, 200);
  ASSERT_FALSE(box.empty());
  // Within the line the font gives 24-pixel text: about 28 high, and five
  // letters are narrower than five sizes.
  EXPECT_GE(box.left, 20);
  EXPECT_LT(box.left, 24);
  EXPECT_GE(box.top, 30);
  EXPECT_LT(box.bottom, 30 + 30);
  EXPECT_GT(box.right, 20 + 24);
  EXPECT_LT(box.right, 20 + 5 * 24);
  for (uint32_t p : frame) // blended edges are darker yellow, never another hue
    if (p != kBlack) {
      EXPECT_EQ(p & 0xff, 0u);
    }
  EXPECT_EQ(graphics.draw_colour, (DrawColour{255, 255, 0, 255}));
}

TEST_F(SdlWindowTest, TextOutsideTheWindowIsCut) {
  GraphicsContext graphics;
  open(graphics, 100, 40);
  clear_screen(graphics);
  const DrawColour yellow{255, 255, 0, 255};
  // Wholly outside on every side, however long.
  std::string long_text(100000, 'W');
  EXPECT_EQ(draw_text(graphics, "Hello", 100, 5, 20, yellow), "");
  EXPECT_EQ(draw_text(graphics, "Hello", 5, 40, 20, yellow), "");
  EXPECT_EQ(draw_text(graphics, "Hello", 5, -200, 20, yellow), "");
  EXPECT_EQ(draw_text(graphics, long_text, -2000000000, 5, 20, yellow), "");
  EXPECT_TRUE(lit_box(pixels(graphics), 100).empty());
  // Across the left and right edges only the part inside shows, at the
  // same place as if the whole line had been drawn.
  EXPECT_EQ(draw_text(graphics, long_text, -1000, 5, 20, yellow), "");
  Box box = lit_box(pixels(graphics), 100);
  ASSERT_FALSE(box.empty());
  EXPECT_LE(box.left, 2);
  EXPECT_GE(box.right, 97);
  EXPECT_GE(box.top, 5);
  EXPECT_LT(box.bottom, 5 + 25);
  // Non-ASCII text is drawn too.
  clear_screen(graphics);
  EXPECT_EQ(draw_text(graphics, "żółw ✓", 0, 0, 16, yellow), "");
  EXPECT_FALSE(lit_box(pixels(graphics), 100).empty());
}

} // namespace
} // namespace tovik
