#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "interpreter/dict.h"
#include "interpreter/value.h"
#include "support/hash.h"

namespace tovik {
namespace {

TEST(ValueText, FloatsArePositionalWithoutExponent) {
  EXPECT_EQ(to_text(Value::real(3.0)), "3");
  EXPECT_EQ(to_text(Value::real(2.5)), "2.5");
  EXPECT_EQ(to_text(Value::real(1e21)), "1000000000000000000000");
  EXPECT_EQ(to_text(Value::real(1e-7)), "0.0000001");
  EXPECT_EQ(to_text(Value::real(-0.0)), "-0");
  EXPECT_EQ(to_text(Value::real(0.1 + 0.2)), "0.30000000000000004");
  EXPECT_EQ(to_text(Value::real(std::nan(""))), "NaN");
  EXPECT_EQ(to_text(Value::real(-INFINITY)), "-inf");
  EXPECT_EQ(to_text(Value::real(1e300)).size(), 301u);
}

TEST(ValueDebug, FloatsShowTheyAreDoubles) {
  EXPECT_EQ(to_debug(Value::real(3.0)), "Float(3.0)");
  EXPECT_EQ(to_debug(Value::real(1e16)), "Float(1e16)");
  EXPECT_EQ(to_debug(Value::real(1.5e-5)), "Float(1.5e-5)");
  EXPECT_EQ(to_debug(Value::real(1e300)), "Float(1e300)");
  EXPECT_EQ(to_debug(Value::real(0.0001)), "Float(0.0001)");
  EXPECT_EQ(to_debug(Value::real(123456.75)), "Float(123456.75)");
  EXPECT_EQ(to_debug(Value::real(-0.0)), "Float(-0.0)");
}

TEST(ValueText, CollectionsAndShapes) {
  Value nested = Value::array({Value::number(1), Value::string("a"),
                               Value::array({})});
  EXPECT_EQ(to_text(nested), "[1, a, []]");
  Dict d;
  d.set("k", Value::string("v"));
  EXPECT_EQ(to_text(Value::dict(std::move(d))), "{k: v}");
  EXPECT_EQ(to_text(Value::rect({1, 2, 4294967291u, 4})),
            "Rect(1, 2, 4294967291, 4)");
  EXPECT_EQ(to_text(Value::color({44, 255, 2})), "Color(44, 255, 2)");
  EXPECT_EQ(to_debug(Value::circle({1, 2, 3})),
            "Circle { x: 1, y: 2, radius: 3 }");
  EXPECT_EQ(to_debug(Value::array({Value::number(1), Value()})),
            "Array([Number(1), Null])");
  EXPECT_EQ(to_debug(Value::string("a\"b\\\n\x01")),
            "String(\"a\\\"b\\\\\\n\\u{1}\")");
  EXPECT_EQ(to_text(Value::error("boom")), "Error: boom");
}

TEST(ValueText, DebugFormEscapesBothBlocksOfControlCharacters) {
  // U+0080 and U+009F bound the second block; U+00A0 and accented letters
  // just past it print as they are, and so does a lone lead byte.
  EXPECT_EQ(to_debug(Value::string("\x7f|\u0080|\u0085x|\u009f")),
            "String(\"\\u{7f}|\\u{80}|\\u{85}x|\\u{9f}\")");
  EXPECT_EQ(to_debug(Value::string("\u00a0\u00e9\u0100")),
            "String(\"\u00a0\u00e9\u0100\")");
  EXPECT_EQ(to_debug(Value::string("a\xc2")), "String(\"a\xc2\")");
  EXPECT_EQ(to_debug(Value::array({Value::string("\u0090")})),
            "Array([String(\"\\u{90}\")])");
  // The plain form keeps the characters.
  EXPECT_EQ(to_text(Value::string("\u0080")), "\u0080");
}

TEST(ValueTruth, FollowsTheVariantRules) {
  EXPECT_TRUE(is_truthy(Value::string("")));
  EXPECT_TRUE(is_truthy(Value::array({})));
  EXPECT_TRUE(is_truthy(Value::real(std::nan(""))));
  EXPECT_FALSE(is_truthy(Value::real(-0.0)));
  EXPECT_FALSE(is_truthy(Value::number(0)));
  EXPECT_FALSE(is_truthy(Value::error("x")));
  EXPECT_FALSE(is_truthy(Value()));
}

TEST(ValueSharing, MutationOfSharedPayloadCopiesFirst) {
  Value a = Value::array({Value::number(1)});
  Value b = a;
  b.mutable_array().push_back(Value::number(2));
  EXPECT_EQ(to_text(a), "[1]");
  EXPECT_EQ(to_text(b), "[1, 2]");
  EXPECT_NE(&a.as_array(), &b.as_array());
  const std::vector<Value> *before = &b.as_array();
  b.mutable_array().push_back(Value::number(3)); // sole holder: in place
  EXPECT_EQ(&b.as_array(), before);
}

TEST(ValueSharing, DeeplyNestedArraysAreReleasedWithoutRecursion) {
  Value v = Value::array({});
  for (int i = 0; i < 1000000; ++i) v = Value::array({v});
  v = Value(); // must not overflow the stack
  SUCCEED();
}

TEST(DictTable, ReplacesAndFindsKeys) {
  Dict d;
  for (int i = 0; i < 100; ++i) d.set(std::to_string(i).insert(0, "k"), Value::number(i));
  d.set("k7", Value::number(70));
  EXPECT_EQ(d.size(), 100u);
  EXPECT_EQ(d.find("k7")->as_number(), 70);
  EXPECT_EQ(d.find("k99")->as_number(), 99);
  EXPECT_EQ(d.find("nope"), nullptr);
  size_t seen = 0;
  d.for_each([&](const Dict::Entry &) { ++seen; });
  EXPECT_EQ(seen, 100u);
}

// Removing shifts the rest of a probe run back: every key left must still
// be found after any order of removals, including runs that wrap around
// the end of the table, and removed keys must be gone.
TEST(DictTable, RemovalKeepsEveryOtherKeyReachable) {
  Dict d;
  const int count = 2000;
  auto key = [](int i) { return "k" + std::to_string(i); };
  for (int i = 0; i < count; ++i) d.set(key(i), Value::number(i));
  std::vector<bool> removed(count, false);
  // A fixed scattered order: 7 and 2000 share no factor, so every key comes
  // up once.
  for (int step = 0; step < count; ++step) {
    const int i = (step * 7) % count;
    if (step % 3 == 0) continue;
    EXPECT_TRUE(d.remove(key(i), hash_text(key(i))));
    EXPECT_FALSE(d.remove(key(i), hash_text(key(i))));
    removed[i] = true;
    if (step % 97 == 0) {
      for (int j = 0; j < count; ++j) {
        const Value *found = d.find(key(j));
        ASSERT_EQ(found == nullptr, removed[j]) << j;
        if (found) {
          EXPECT_EQ(found->as_number(), j);
        }
      }
    }
  }
  size_t left = 0;
  for (int j = 0; j < count; ++j) {
    const Value *found = d.find(key(j));
    ASSERT_EQ(found == nullptr, removed[j]) << j;
    if (found) {
      EXPECT_EQ(found->as_number(), j);
    }
    left += !removed[j];
  }
  EXPECT_EQ(d.size(), left);
  size_t seen = 0;
  d.for_each([&](const Dict::Entry &) { ++seen; });
  EXPECT_EQ(seen, left);
  // Keys added after removals land in the freed places and are found.
  for (int i = 0; i < count; ++i) d.set(key(i), Value::number(-i));
  EXPECT_EQ(d.size(), static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) EXPECT_EQ(d.find(key(i))->as_number(), -i);
}

// Reserving rebuilds the table around what is already there; keys of the
// same length and keys that are prefixes of others must stay apart.
TEST(DictTable, ReserveKeepsEntriesAndKeysStayDistinct) {
  Dict d;
  d.set("ab", Value::number(1));
  d.set("a", Value::number(2));
  d.reserve(100);
  const char *keys[] = {"ba", "abc", "", "aB"};
  for (int i = 0; i < 4; ++i) d.set(keys[i], Value::number(10 + i));
  d.reserve(3); // smaller than the table: keeps it
  ASSERT_EQ(d.size(), 6u);
  EXPECT_EQ(d.find("ab")->as_number(), 1);
  EXPECT_EQ(d.find("a")->as_number(), 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(d.find(keys[i])->as_number(), 10 + i);
  EXPECT_EQ(d.find("b"), nullptr);
  EXPECT_EQ(d.find("abcd"), nullptr);
}

// Keys are compared a word at a time with overlapping ends: a difference in
// any one byte, at any length around the word sizes, must still tell them
// apart.
TEST(DictTable, KeysDifferingInOneByteStayApart) {
  for (size_t n = 0; n <= 40; ++n) {
    std::string base(n, 'a');
    for (size_t i = 0; i < n; ++i) base[i] = static_cast<char>('a' + i % 26);
    EXPECT_TRUE(same_bytes(base.data(), std::string(base).data(), n));
    Dict d;
    d.set(base, Value::number(-1));
    for (size_t i = 0; i < n; ++i) {
      std::string other = base;
      other[i] = static_cast<char>(other[i] ^ 0x20);
      EXPECT_FALSE(same_bytes(base.data(), other.data(), n)) << n << " " << i;
      d.set(other, Value::number(static_cast<int64_t>(i)));
    }
    ASSERT_EQ(d.size(), n + 1);
    EXPECT_EQ(d.find(base)->as_number(), -1);
    for (size_t i = 0; i < n; ++i) {
      std::string other = base;
      other[i] = static_cast<char>(other[i] ^ 0x20);
      EXPECT_EQ(d.find(other)->as_number(), static_cast<int64_t>(i));
    }
  }
}

} // namespace
} // namespace tovik
