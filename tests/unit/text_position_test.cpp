#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/context.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/text_position.h"

namespace tovik {
namespace {

// Characters start..end found the plain way: a walk from the first byte
// over lead bytes (an ill-formed byte is one character).
std::string reference_slice(const std::string &text, uint64_t start,
                            uint64_t end) {
  std::vector<size_t> starts;
  for (size_t at = 0; at < text.size();) {
    starts.push_back(at);
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = lead < 0xc2 || lead > 0xf4 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
    size_t next = at + 1;
    while (next < at + length && next < text.size() &&
           (static_cast<unsigned char>(text[next]) & 0xc0) == 0x80)
      ++next;
    at = next;
  }
  starts.push_back(text.size());
  const uint64_t count = starts.size() - 1;
  const uint64_t take = end - start;
  if (start >= count) return "";
  const uint64_t stop = take >= count - start ? count : start + take;
  return text.substr(starts[start], starts[stop] - starts[start]);
}

std::string slice(const Value &text, int64_t start, int64_t end) {
  GraphicsContext graphics;
  std::vector<Value> args{text, Value::number(start), Value::number(end)};
  Value result = *call_builtin("slice", args, graphics);
  EXPECT_TRUE(result.is(ValueKind::String));
  return result.as_text();
}

std::string repeat(const std::string &piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

// Every order a script may walk in: forwards, backwards, jumping, past the
// end, and back to the start after the remembered place.
void expect_every_order_agrees(const std::string &text) {
  Value value = Value::string(text);
  const int64_t n = static_cast<int64_t>(text.size()) + 3;
  for (int64_t i = 0; i < n; ++i)
    ASSERT_EQ(slice(value, i, i + 1), reference_slice(text, i, i + 1)) << i;
  for (int64_t i = n; i-- > 0;)
    ASSERT_EQ(slice(value, i, i + 2), reference_slice(text, i, i + 2)) << i;
  // A window sliding forwards starts inside the last one.
  for (int64_t i = 0; i < n; ++i)
    ASSERT_EQ(slice(value, i, i + 3), reference_slice(text, i, i + 3)) << i;
  uint64_t k = 5;
  for (int step = 0; step < 300; ++step) {
    k = (k * 6364136223846793005ull + 1442695040888963407ull);
    const int64_t start = static_cast<int64_t>((k >> 33) % n);
    const int64_t end = start + static_cast<int64_t>((k >> 13) % 12) - 2;
    ASSERT_EQ(slice(value, start, end), reference_slice(text, start, end))
        << start << ".." << end;
  }
  ASSERT_EQ(slice(value, 3, -1), reference_slice(text, 3, -1));
  ASSERT_EQ(slice(value, 0, 4), reference_slice(text, 0, 4));
}

TEST(TextPosition, SliceAgreesWithAPlainWalkInAnyOrder) {
  expect_every_order_agrees(repeat("abcdefghijk", 40));                 // ASCII
  expect_every_order_agrees(repeat("aé€😀", 30));                      // 1-4 bytes
  expect_every_order_agrees(repeat("abcdefghijklmnop", 8) + "ü" +       // long
                            repeat("qrstuvwxyz", 8));                   // ASCII runs
  expect_every_order_agrees(repeat("ab\xff\xc3x\xe2\x82", 20));       // ill-formed
  expect_every_order_agrees("");
}

TEST(TextPosition, TwoTextsWalkedSideBySideKeepTheirPlaces) {
  const std::string a = repeat("xé", 50), b = repeat("€y", 50);
  Value va = Value::string(a), vb = Value::string(b);
  for (int64_t i = 0; i < 100; ++i) {
    ASSERT_EQ(slice(va, i, i + 1), reference_slice(a, i, i + 1));
    ASSERT_EQ(slice(vb, i, i + 1), reference_slice(b, i, i + 1));
  }
}

TEST(TextPosition, ATextChangedInPlaceIsWalkedAfresh) {
  Value text = Value::string(repeat("abcdefgh", 64));
  // Remember a place far in, and let a jump mark the text as ASCII.
  EXPECT_EQ(slice(text, 300, 301), "e");
  EXPECT_EQ(slice(text, 400, 402), "ab");
  const Object *payload = text.object();
  std::string &bytes = text.mutable_text();
  ASSERT_EQ(text.object(), payload) << "the sole holder changes it in place";
  bytes.replace(0, 1, "ééé");
  EXPECT_EQ(slice(text, 300, 301), reference_slice(bytes, 300, 301));
  EXPECT_EQ(slice(text, 400, 402), reference_slice(bytes, 400, 402));
  EXPECT_EQ(slice(text, 2, 4), "éb");
}

TEST(TextPosition, ARecycledPayloadDoesNotInheritAPlace) {
  const std::string first = repeat("abcdefgh", 64);
  const std::string second = repeat("ü€", 256);
  const Object *old_payload;
  {
    Value text = Value::string(first);
    old_payload = text.object();
    EXPECT_EQ(slice(text, 300, 301), "e");
  }
  // Release builds hand the freed block to the next text.
  Value text = Value::string(second);
  if (text.object() != old_payload)
    GTEST_LOG_(INFO) << "block not recycled in this build";
  EXPECT_EQ(slice(text, 301, 302), reference_slice(second, 301, 302));
  EXPECT_EQ(slice(text, 300, 301), "ü");
}

TEST(TextPosition, SharedCharactersAreNotChangedThroughOneHolder) {
  GraphicsContext graphics;
  std::vector<Value> args{Value::string("aba"), Value::string("")};
  Value pieces = *call_builtin("split", args, graphics);
  ASSERT_EQ(pieces.as_array().size(), 5u);
  Value first = pieces.as_array()[1];
  EXPECT_EQ(first.object(), pieces.as_array()[3].object())
      << "one-character ASCII texts share a payload";
  first.mutable_text() += "z";
  EXPECT_EQ(first.as_text(), "az");
  EXPECT_EQ(pieces.as_array()[3].as_text(), "a");
  EXPECT_EQ(Value::short_text("a").as_text(), "a");
  EXPECT_EQ(Value::short_text("").as_text(), "");
  EXPECT_EQ(Value::short_text("é").as_text(), "é");
  EXPECT_EQ(Value::short_text("ab").as_text(), "ab");
}

} // namespace
} // namespace tovik
