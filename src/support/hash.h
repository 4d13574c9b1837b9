// Seeded hashing for every map of the interpreter. The seed is drawn from the
// operating system once per process, so iteration orders differ between runs
// and scripts cannot choose keys that collide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tovik {

uint64_t hash_seed();
uint64_t hash_text(std::string_view text);

// Whether the n bytes at a and at b are equal, compared a word at a time:
// keys and literals are short, and a library call would cost more than the
// comparison itself.
[[gnu::always_inline]] inline bool same_bytes(const char *a, const char *b,
                                              size_t n) {
  auto word = [](const char *p) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
  };
  auto half = [](const char *p) {
    uint32_t w;
    std::memcpy(&w, p, 4);
    return w;
  };
  if (n >= 8) {
    // The last word overlaps the one before it when n is not a multiple of 8.
    for (size_t i = 0; i + 8 < n; i += 8)
      if (word(a + i) != word(b + i)) return false;
    return word(a + n - 8) == word(b + n - 8);
  }
  if (n >= 4) return half(a) == half(b) && half(a + n - 4) == half(b + n - 4);
  if (n == 0) return true;
  return a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1];
}

} // namespace tovik
