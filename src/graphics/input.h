// The keyboard and mouse as a script sees them: the state at the last
// present(), kept by the graphics context and filled in by whichever
// backend delivers the events. Key names and the rule that a tap shorter
// than a frame is still seen live here, so every backend shares them.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovik {

// The keys a script can ask about, by the names key_down takes.
enum class Key : uint8_t {
  Left, Right, Up, Down, Space, Enter, Escape, Shift,
  A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
  Digit0, Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8,
  Digit9,
};
inline constexpr size_t kKeyCount = static_cast<size_t>(Key::Digit9) + 1;

// "left", "right", "up", "down", "space", "enter", "escape", "shift",
// "a".."z", "0".."9"; exact and lower case. Nothing for any other name.
std::optional<Key> key_from_name(std::string_view name);
std::string_view key_name(Key key);
// Letters and digits by their character ('a'..'z', '0'..'9'), for backends
// whose events carry one.
std::optional<Key> key_from_character(char32_t c);

struct InputState {
  std::bitset<kKeyCount> held;
  // Went down since the frame began: a key pressed and released between
  // two presents still counts as down for one frame.
  std::bitset<kKeyCount> pressed;
  int32_t mouse_x = 0, mouse_y = 0;
  bool mouse_held = false;
  bool mouse_pressed = false;
};

// Backends call these while reading the events of one present().
void begin_frame(InputState &input);
void key_went_down(InputState &input, Key key);
void key_went_up(InputState &input, Key key);
void mouse_moved(InputState &input, int32_t x, int32_t y);
void mouse_button(InputState &input, bool down);

// What the script is told for the frame.
bool key_is_down(const InputState &input, Key key);
bool mouse_is_down(const InputState &input);

} // namespace tovik
