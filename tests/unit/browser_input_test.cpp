// The page's keyboard and mouse report, as the web build's event queue
// applies it at each frame.
#include "graphics/browser_input.h"

#include <gtest/gtest.h>

namespace tovik {
namespace {

bool frame(InputState &input, std::string_view report) {
  begin_frame(input);
  return apply_browser_input(input, report);
}

TEST(BrowserInput, BrowserKeyNamesMapToTheScriptsKeys) {
  EXPECT_EQ(key_from_browser_name("ArrowLeft"), Key::Left);
  EXPECT_EQ(key_from_browser_name("ArrowDown"), Key::Down);
  EXPECT_EQ(key_from_browser_name(" "), Key::Space);
  EXPECT_EQ(key_from_browser_name("Enter"), Key::Enter);
  EXPECT_EQ(key_from_browser_name("Escape"), Key::Escape);
  EXPECT_EQ(key_from_browser_name("Shift"), Key::Shift);
  EXPECT_EQ(key_from_browser_name("q"), Key::Q);
  EXPECT_EQ(key_from_browser_name("Q"), Key::Q);
  EXPECT_EQ(key_from_browser_name("7"), Key::Digit7);
  for (std::string_view other : {"", "space", "left", "F1", "Tab", "!", "é", "ArrowLeftX"})
    EXPECT_FALSE(key_from_browser_name(other)) << other;
}

TEST(BrowserInput, HeldKeysGoDownAndUpAcrossFrames) {
  InputState input;
  EXPECT_FALSE(frame(input, "0 0 0 0\n+ArrowLeft\n*ArrowLeft\n+F1"));
  EXPECT_TRUE(key_is_down(input, Key::Left));
  EXPECT_TRUE(input.pressed.test(static_cast<size_t>(Key::Left)));
  frame(input, "0 0 0 0\n+ArrowLeft");
  EXPECT_TRUE(key_is_down(input, Key::Left));
  EXPECT_FALSE(input.pressed.test(static_cast<size_t>(Key::Left)));
  frame(input, "0 0 0 0");
  EXPECT_FALSE(key_is_down(input, Key::Left));
  EXPECT_EQ(input.held.count(), 0u);
}

TEST(BrowserInput, TapsBetweenFramesAreSeenForOneFrame) {
  InputState input;
  // Space pressed and released, and the button clicked, between frames.
  frame(input, "3 4 0 1\n* ");
  EXPECT_TRUE(key_is_down(input, Key::Space));
  EXPECT_TRUE(mouse_is_down(input));
  frame(input, "3 4 0 0");
  EXPECT_FALSE(key_is_down(input, Key::Space));
  EXPECT_FALSE(mouse_is_down(input));
  // Held across both frames but pressed again in between: a new press.
  frame(input, "0 0 0 0\n+a");
  frame(input, "0 0 0 0\n+a\n*a");
  EXPECT_TRUE(input.pressed.test(static_cast<size_t>(Key::A)));
}

TEST(BrowserInput, TheMouseMovesAndItsButtonIsHeld) {
  InputState input;
  frame(input, "120 45 1 1");
  EXPECT_EQ(input.mouse_x, 120);
  EXPECT_EQ(input.mouse_y, 45);
  EXPECT_TRUE(input.mouse_held);
  frame(input, "-3 500 1 0");
  EXPECT_EQ(input.mouse_x, -3);
  EXPECT_TRUE(mouse_is_down(input));
  frame(input, "-3 500 0 0");
  EXPECT_FALSE(mouse_is_down(input));
}

TEST(BrowserInput, EscapeClosesAndAMalformedReportChangesNothing) {
  InputState input;
  EXPECT_TRUE(frame(input, "0 0 0 0\n+Escape\n*Escape"));
  EXPECT_FALSE(frame(input, "0 0 0 0\n+Escape"));
  InputState before;
  frame(before, "7 8 1 0\n+a");
  for (std::string_view bad : {"", "7 8", "x 8 0 0\n+b", "7 8 0\n+b"}) {
    InputState after = before;
    EXPECT_FALSE(frame(after, bad)) << bad;
    EXPECT_EQ(after.held, before.held) << bad;
    EXPECT_EQ(after.mouse_x, 7) << bad;
    EXPECT_TRUE(after.mouse_held) << bad;
  }
}

} // namespace
} // namespace tovik
