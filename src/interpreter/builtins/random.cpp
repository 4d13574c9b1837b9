#include "interpreter/builtins/random.h"

#include <sys/random.h>

#include <cerrno>
#include <cstddef>
#include <random>

namespace tovik {

namespace {

uint32_t rotate_left(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

void quarter_round(ChaChaState &s, int a, int b, int c, int d) {
  s[a] += s[b]; s[d] ^= s[a]; s[d] = rotate_left(s[d], 16);
  s[c] += s[d]; s[b] ^= s[c]; s[b] = rotate_left(s[b], 12);
  s[a] += s[b]; s[d] ^= s[a]; s[d] = rotate_left(s[d], 8);
  s[c] += s[d]; s[b] ^= s[c]; s[b] = rotate_left(s[b], 7);
}

// "expand 32-byte k"
constexpr uint32_t kConstants[4] = {0x61707865, 0x3320646e, 0x79622d32,
                                    0x6b206574};

void fill_from_os(void *buffer, size_t size) {
  auto *out = static_cast<unsigned char *>(buffer);
  while (size > 0) {
    ssize_t got = getrandom(out, size, 0);
    if (got < 0) {
      if (errno == EINTR) continue;
      break;
    }
    out += got;
    size -= static_cast<size_t>(got);
  }
  // getrandom cannot fail on a supported kernel; should it ever, the
  // library's own device source still keeps a script running.
  if (size > 0) {
    std::random_device device;
    for (; size > 0; --size) *out++ = static_cast<unsigned char>(device());
  }
}

ChaChaGenerator seeded_generator() {
  struct {
    std::array<uint32_t, 8> key;
    uint64_t nonce;
  } seed;
  fill_from_os(&seed, sizeof seed);
  return make_generator(seed.key, 0, seed.nonce);
}

} // namespace

ChaChaState chacha20_block(const ChaChaState &input) {
  ChaChaState s = input;
  for (int round = 0; round < 10; ++round) {
    quarter_round(s, 0, 4, 8, 12);
    quarter_round(s, 1, 5, 9, 13);
    quarter_round(s, 2, 6, 10, 14);
    quarter_round(s, 3, 7, 11, 15);
    quarter_round(s, 0, 5, 10, 15);
    quarter_round(s, 1, 6, 11, 12);
    quarter_round(s, 2, 7, 8, 13);
    quarter_round(s, 3, 4, 9, 14);
  }
  for (size_t i = 0; i < s.size(); ++i) s[i] += input[i];
  return s;
}

ChaChaGenerator make_generator(const std::array<uint32_t, 8> &key,
                               uint64_t counter, uint64_t nonce) {
  ChaChaGenerator g;
  for (int i = 0; i < 4; ++i) g.state[i] = kConstants[i];
  for (int i = 0; i < 8; ++i) g.state[4 + i] = key[i];
  g.state[12] = static_cast<uint32_t>(counter);
  g.state[13] = static_cast<uint32_t>(counter >> 32);
  g.state[14] = static_cast<uint32_t>(nonce);
  g.state[15] = static_cast<uint32_t>(nonce >> 32);
  return g;
}

uint64_t next_random_word(ChaChaGenerator &g) {
  if (g.next_word == 8) {
    g.block = chacha20_block(g.state);
    // 2^64 blocks outlast any process, so the counter never repeats.
    if (++g.state[12] == 0) ++g.state[13];
    g.next_word = 0;
  }
  unsigned i = 2 * g.next_word++;
  return uint64_t{g.block[i]} | (uint64_t{g.block[i + 1]} << 32);
}

namespace {

ChaChaGenerator &thread_generator() {
  thread_local ChaChaGenerator generator = seeded_generator();
  return generator;
}

} // namespace

uint64_t random_word() { return next_random_word(thread_generator()); }

void restart_random_stream(uint64_t nonce) {
  thread_generator() = make_generator({}, 0, nonce);
}

} // namespace tovik
