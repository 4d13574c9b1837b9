#include "graphics/input.h"

namespace tovik {

namespace {

constexpr std::array<std::string_view, 8> kNamedKeys = {
    "left", "right", "up", "down", "space", "enter", "escape", "shift"};

constexpr size_t index(Key key) { return static_cast<size_t>(key); }

// One character per letter and digit, in enum order after the named keys.
constexpr std::string_view kCharacterKeys =
    "abcdefghijklmnopqrstuvwxyz0123456789";
static_assert(kNamedKeys.size() + kCharacterKeys.size() == kKeyCount);

} // namespace

std::optional<Key> key_from_name(std::string_view name) {
  for (size_t i = 0; i < kNamedKeys.size(); ++i)
    if (kNamedKeys[i] == name) return static_cast<Key>(i);
  if (name.size() == 1) return key_from_character(char32_t(name[0]));
  return std::nullopt;
}

std::string_view key_name(Key key) {
  size_t i = index(key);
  if (i < kNamedKeys.size()) return kNamedKeys[i];
  return kCharacterKeys.substr(i - kNamedKeys.size(), 1);
}

std::optional<Key> key_from_character(char32_t c) {
  size_t at = c < 128 ? kCharacterKeys.find(char(c)) : std::string_view::npos;
  if (at == std::string_view::npos) return std::nullopt;
  return static_cast<Key>(kNamedKeys.size() + at);
}

void begin_frame(InputState &input) {
  input.pressed.reset();
  input.mouse_pressed = false;
}

void key_went_down(InputState &input, Key key) {
  input.held.set(index(key));
  input.pressed.set(index(key));
}

void key_went_up(InputState &input, Key key) { input.held.reset(index(key)); }

void mouse_moved(InputState &input, int32_t x, int32_t y) {
  input.mouse_x = x;
  input.mouse_y = y;
}

void mouse_button(InputState &input, bool down) {
  input.mouse_held = down;
  if (down) input.mouse_pressed = true;
}

bool key_is_down(const InputState &input, Key key) {
  return input.held.test(index(key)) || input.pressed.test(index(key));
}

bool mouse_is_down(const InputState &input) {
  return input.mouse_held || input.mouse_pressed;
}

} // namespace tovik
