#include <gtest/gtest.h>

#include <set>

#include "interpreter/builtins/random.h"

namespace tovik {
namespace {

// The block function test vector: key 00 01 .. 1f, block count 1, nonce
// 00 00 00 09 00 00 00 4a 00 00 00 00 (RFC 8439, section 2.3.2).
constexpr ChaChaState kVectorInput = {
    0x61707865, 0x3320646e, 0x79622d32, 0x6b206574, //
    0x03020100, 0x07060504, 0x0b0a0908, 0x0f0e0d0c, //
    0x13121110, 0x17161514, 0x1b1a1918, 0x1f1e1d1c, //
    0x00000001, 0x09000000, 0x4a000000, 0x00000000};
constexpr ChaChaState kVectorOutput = {
    0xe4e7f110, 0x15593bd1, 0x1fdd0f50, 0xc47120a3, //
    0xc7f4d1c7, 0x0368c033, 0x9aaa2204, 0x4e6cd4c3, //
    0x466482d2, 0x09aa9f07, 0x05d7c214, 0xa2028bd9, //
    0xd19c12b5, 0xb94e16de, 0xe883d0cb, 0x4e3c50a2};

constexpr std::array<uint32_t, 8> kVectorKey = {
    0x03020100, 0x07060504, 0x0b0a0908, 0x0f0e0d0c,
    0x13121110, 0x17161514, 0x1b1a1918, 0x1f1e1d1c};

TEST(ChaCha20, BlockFunctionMatchesPublishedVector) {
  EXPECT_EQ(chacha20_block(kVectorInput), kVectorOutput);
}

TEST(ChaCha20, GeneratorWalksTheKeystreamBlockByBlock) {
  // Counter words 12 and 13 and nonce words 14 and 15 as in the vector.
  ChaChaGenerator g =
      make_generator(kVectorKey, 0x0900000000000001, 0x000000004a000000);
  EXPECT_EQ(g.state, kVectorInput);
  for (size_t i = 0; i < 8; ++i) {
    uint64_t expected = uint64_t{kVectorOutput[2 * i]} |
                        uint64_t{kVectorOutput[2 * i + 1]} << 32;
    EXPECT_EQ(next_random_word(g), expected) << "word " << i;
  }
  // The ninth word opens the block with the next counter value.
  ChaChaState following = kVectorInput;
  following[12] = 2;
  ChaChaState block = chacha20_block(following);
  EXPECT_EQ(next_random_word(g), uint64_t{block[0]} | uint64_t{block[1]} << 32);
}

TEST(ChaCha20, CounterCarriesIntoItsHighWord) {
  ChaChaGenerator g = make_generator(kVectorKey, 0xffffffff, 0);
  for (int i = 0; i < 8; ++i) next_random_word(g);
  EXPECT_EQ(g.state[12], 0u);
  EXPECT_EQ(g.state[13], 1u);
}

TEST(ChaCha20, ThreadGeneratorDoesNotRepeatWords) {
  std::set<uint64_t> words;
  for (int i = 0; i < 1000; ++i) words.insert(random_word());
  EXPECT_EQ(words.size(), 1000u);
}

} // namespace
} // namespace tovik
