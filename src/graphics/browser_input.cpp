#include "graphics/browser_input.h"

#include <bitset>
#include <charconv>
#include <utility>

namespace tovik {

namespace {

// The next line of `text` from `at`, without its line break.
std::string_view next_line(std::string_view text, size_t &at) {
  size_t end = text.find('\n', at);
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(at, end - at);
  at = end + 1;
  return line;
}

bool read_number(std::string_view &line, int32_t &number) {
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  auto [end, error] =
      std::from_chars(line.data(), line.data() + line.size(), number);
  if (error != std::errc() || end == line.data()) return false;
  line.remove_prefix(static_cast<size_t>(end - line.data()));
  return true;
}

} // namespace

std::optional<Key> key_from_browser_name(std::string_view name) {
  static constexpr std::pair<std::string_view, Key> kNamed[] = {
      {"ArrowLeft", Key::Left}, {"ArrowRight", Key::Right},
      {"ArrowUp", Key::Up},     {"ArrowDown", Key::Down},
      {" ", Key::Space},        {"Enter", Key::Enter},
      {"Escape", Key::Escape},  {"Shift", Key::Shift},
  };
  for (const auto &[browser_name, key] : kNamed)
    if (browser_name == name) return key;
  if (name.size() != 1) return std::nullopt;
  // With Shift held the browser names the capital letter.
  char c = name[0];
  if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key_from_character(char32_t(static_cast<unsigned char>(c)));
}

bool apply_browser_input(InputState &input, std::string_view report) {
  size_t at = 0;
  std::string_view first = next_line(report, at);
  int32_t x = 0, y = 0, held = 0, clicked = 0;
  if (!read_number(first, x) || !read_number(first, y) ||
      !read_number(first, held) || !read_number(first, clicked))
    return false;

  std::bitset<kKeyCount> held_now, tapped;
  while (at < report.size()) {
    std::string_view line = next_line(report, at);
    if (line.size() < 2 || (line[0] != '+' && line[0] != '*')) continue;
    std::optional<Key> key = key_from_browser_name(line.substr(1));
    if (!key) continue;
    (line[0] == '+' ? held_now : tapped).set(static_cast<size_t>(*key));
  }

  bool escape = false;
  for (size_t i = 0; i < kKeyCount; ++i) {
    const Key key = static_cast<Key>(i);
    const bool was = input.held.test(i);
    // A key held on both frames may still have been released and pressed
    // again between them: that is a new press.
    if (held_now.test(i) && (!was || tapped.test(i))) {
      key_went_down(input, key);
    } else if (!held_now.test(i) && tapped.test(i)) {
      key_went_down(input, key);
      key_went_up(input, key);
    } else if (!held_now.test(i) && was) {
      key_went_up(input, key);
    }
    if (key == Key::Escape && input.pressed.test(i)) escape = true;
  }

  mouse_moved(input, x, y);
  if (clicked && !held) {
    mouse_button(input, true);
    mouse_button(input, false);
  } else if ((held != 0) != input.mouse_held || clicked) {
    mouse_button(input, held != 0);
  }
  return escape;
}

} // namespace tovik
