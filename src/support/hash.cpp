#include "support/hash.h"

#include <sys/random.h>

#include <cstring>

namespace tovik {

namespace {

struct Keys {
  uint64_t k0, k1;
};

Keys draw_keys() {
  Keys keys{0x736f6d6570736575ull, 0x646f72616e646f6dull};
  uint64_t buf[2];
  if (getrandom(buf, sizeof buf, 0) == static_cast<ssize_t>(sizeof buf)) {
    keys.k0 ^= buf[0];
    keys.k1 ^= buf[1];
  }
  return keys;
}

const Keys &keys() {
  static const Keys k = draw_keys();
  return k;
}

inline uint64_t rotl(uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

struct SipState {
  uint64_t v0, v1, v2, v3;
  void round() {
    v0 += v1; v1 = rotl(v1, 13); v1 ^= v0; v0 = rotl(v0, 32);
    v2 += v3; v3 = rotl(v3, 16); v3 ^= v2;
    v0 += v3; v3 = rotl(v3, 21); v3 ^= v0;
    v2 += v1; v1 = rotl(v1, 17); v1 ^= v2; v2 = rotl(v2, 32);
  }
  void absorb(uint64_t m) {
    v3 ^= m;
    round();
    v0 ^= m;
  }
};

} // namespace

uint64_t hash_seed() { return keys().k0 ^ keys().k1; }

// SipHash-1-3: keyed, so colliding keys cannot be prepared in advance.
uint64_t hash_text(std::string_view text) {
  const Keys &k = keys();
  SipState s{k.k0 ^ 0x736f6d6570736575ull, k.k1 ^ 0x646f72616e646f6dull,
             k.k0 ^ 0x6c7967656e657261ull, k.k1 ^ 0x7465646279746573ull};
  const char *p = text.data();
  size_t n = text.size();
  while (n >= 8) {
    uint64_t m;
    std::memcpy(&m, p, 8);
    s.absorb(m);
    p += 8;
    n -= 8;
  }
  uint64_t last = static_cast<uint64_t>(text.size()) << 56;
  for (size_t i = 0; i < n; ++i)
    last |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  s.absorb(last);
  s.v2 ^= 0xff;
  s.round();
  s.round();
  s.round();
  return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

} // namespace tovik
