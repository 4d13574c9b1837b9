// The random-number source behind `random` and `random_range`: a ChaCha20
// keystream, one generator per thread, keyed from the operating system's
// random source on first use. Scripts cannot seed it.
#pragma once

#include <array>
#include <cstdint>

namespace tovik {

using ChaChaState = std::array<uint32_t, 16>;

// The ChaCha20 block function: 20 rounds over `input`, added back to it.
ChaChaState chacha20_block(const ChaChaState &input);

// A keystream generator. The 512-bit state is the four constant words, the
// 256-bit key, a 64-bit block counter and a 64-bit nonce; each block gives
// eight 64-bit words.
struct ChaChaGenerator {
  ChaChaState state{};
  ChaChaState block{};
  unsigned next_word = 8; // index into block, in 64-bit words; 8 = spent
};

ChaChaGenerator make_generator(const std::array<uint32_t, 8> &key,
                               uint64_t counter, uint64_t nonce);
uint64_t next_random_word(ChaChaGenerator &generator);

// A uniformly distributed word from this thread's generator.
uint64_t random_word();

// For tests that run one program twice and compare the runs: this thread's
// stream starts again from a key of their choosing, so both draw the same
// numbers. Scripts have no way to reach it.
void restart_random_stream(uint64_t nonce);

} // namespace tovik
