// The frame pacing arithmetic and the order present() uses it in, on a
// made-up clock: the waits computed, not time passing.
#include <gtest/gtest.h>

#include "graphics/context.h"
#include "graphics/frame_pacing.h"
#include "graphics/input.h"
#include "recording_canvas.h"

namespace tovik {
namespace {

using std::chrono::milliseconds;

TEST(FramePacing, WaitsUntilOneIntervalAfterThePreviousFrame) {
  const PaceClock::time_point start{std::chrono::seconds(100)};
  FramePacer pacer;
  EXPECT_EQ(frame_wait(pacer, start), PaceClock::duration::zero()); // first
  frame_presented(pacer, start, PaceClock::duration::zero());

  // A frame drawn in 5 ms waits the rest of the 1/60 s.
  EXPECT_EQ(frame_wait(pacer, start + milliseconds(5)), kFrameInterval - milliseconds(5));
  // One that took longer than an interval does not wait.
  EXPECT_EQ(frame_wait(pacer, start + milliseconds(40)), PaceClock::duration::zero());
  EXPECT_EQ(frame_wait(pacer, start + kFrameInterval), PaceClock::duration::zero());
  EXPECT_EQ(kFrameInterval, std::chrono::nanoseconds(16'666'666));
}

TEST(FramePacing, SixtyFramesTakeOneSecondWhateverTheSleepsOvershoot) {
  const PaceClock::time_point start{};
  FramePacer pacer;
  PaceClock::time_point now = start;
  for (int frame = 0; frame < 61; ++frame) {
    const PaceClock::duration wait = frame_wait(pacer, now);
    frame_presented(pacer, now, wait);
    // Each frame's drawing takes 3 ms and each sleep ends 1 ms late.
    now += wait + (wait > PaceClock::duration::zero() ? milliseconds(1) : milliseconds(0)) +
           milliseconds(3);
  }
  // The 61st frame was due exactly 60 intervals after the first.
  EXPECT_EQ(*pacer.previous - start, 60 * kFrameInterval);

  // After a stall the pace starts afresh rather than catching up.
  now += std::chrono::seconds(2);
  frame_presented(pacer, now, frame_wait(pacer, now));
  EXPECT_EQ(*pacer.previous, now);
  EXPECT_EQ(frame_wait(pacer, now + milliseconds(1)), kFrameInterval - milliseconds(1));
}

TEST(FramePacing, PresentWaitsBeforeShowingAndReadsNoEventsWithoutASource) {
  GraphicsContext graphics;
  auto owned = std::make_unique<RecordingCanvas>();
  RecordingCanvas *canvas = owned.get();
  graphics.canvas = std::move(owned);
  render_present(graphics);
  render_present(graphics);
  ASSERT_EQ(canvas->calls.size(), 4u);
  EXPECT_EQ(canvas->calls[0], (CanvasCall{CanvasCall::Wait, 0}));
  EXPECT_EQ(canvas->calls[1].kind, CanvasCall::Present);
  EXPECT_EQ(canvas->calls[2].kind, CanvasCall::Wait);
  EXPECT_LE(canvas->calls[2].a, kFrameInterval.count());
  EXPECT_EQ(canvas->calls[3].kind, CanvasCall::Present);
}

TEST(FramePacing, TextGoesToTheCanvasClampedInItsColour) {
  GraphicsContext graphics;
  EXPECT_EQ(draw_text(graphics, "no window", 0, 0, 10, {1, 2, 3, 255}), "");
  EXPECT_EQ(graphics.draw_colour, (DrawColour{1, 2, 3, 255}));
  auto owned = std::make_unique<RecordingCanvas>();
  RecordingCanvas *canvas = owned.get();
  graphics.canvas = std::move(owned);
  canvas->text_failure = "no font";
  EXPECT_EQ(draw_text(graphics, "hi", -2147483647, 5, 12, {1, 2, 3, 255}), "no font");
  EXPECT_EQ(draw_text(graphics, "", 0, 0, 12, {4, 5, 6, 255}), ""); // nothing to draw
  EXPECT_EQ(canvas->calls, (std::vector<CanvasCall>{{CanvasCall::Text, -1073741824, 5, 12}, colour(4, 5, 6)}));
  EXPECT_EQ(canvas->texts, std::vector<std::string>{"hi"});
}

// Key names, the same for every backend.

TEST(KeyNames, EveryNameRoundTripsAndNothingElseIsAKey) {
  for (size_t i = 0; i < kKeyCount; ++i) {
    const Key key = static_cast<Key>(i);
    EXPECT_EQ(key_from_name(key_name(key)), key) << key_name(key);
  }
  EXPECT_EQ(key_from_name("space"), Key::Space);
  EXPECT_EQ(key_from_name("z"), Key::Z);
  EXPECT_EQ(key_from_name("0"), Key::Digit0);
  for (std::string_view other : {"", "A", "Left", "ab", "f1", " ", "é", "return"})
    EXPECT_FALSE(key_from_name(other)) << other;
}

TEST(KeyNames, ATapWithinAFrameIsSeenForThatFrameOnly) {
  InputState input;
  begin_frame(input);
  key_went_down(input, Key::A);
  key_went_up(input, Key::A);
  key_went_down(input, Key::B);
  mouse_button(input, true);
  mouse_button(input, false);
  EXPECT_TRUE(key_is_down(input, Key::A));
  EXPECT_TRUE(mouse_is_down(input));
  begin_frame(input);
  EXPECT_FALSE(key_is_down(input, Key::A));
  EXPECT_TRUE(key_is_down(input, Key::B)); // still held
  EXPECT_FALSE(mouse_is_down(input));
}

} // namespace
} // namespace tovik
