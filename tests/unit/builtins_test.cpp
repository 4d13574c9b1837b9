#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "graphics/context.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/input_line.h"
#include "interpreter/dict.h"

namespace tovik {
namespace {

constexpr int64_t kMaxInt = std::numeric_limits<int64_t>::max();
constexpr int64_t kMinInt = std::numeric_limits<int64_t>::min();

Value call(std::string_view name, std::vector<Value> args) {
  GraphicsContext graphics;
  std::optional<Value> result = call_builtin(name, args, graphics);
  EXPECT_TRUE(result.has_value()) << name << " is not a builtin";
  return result ? *result : Value();
}

Value num(int64_t n) { return Value::number(n); }
Value real(double d) { return Value::real(d); }
Value str(const char *s) { return Value::string(s); }

// Each element's textual form, for comparing arrays.
std::vector<std::string> texts(const Value &array) {
  EXPECT_TRUE(array.is(ValueKind::Array)) << to_debug(array);
  std::vector<std::string> out;
  for (const Value &item : array.as_array()) out.push_back(to_text(item));
  return out;
}

void expect_number(const Value &v, int64_t n) {
  ASSERT_TRUE(v.is(ValueKind::Number)) << to_debug(v);
  EXPECT_EQ(v.as_number(), n);
}

void expect_float(const Value &v, double d) {
  ASSERT_TRUE(v.is(ValueKind::Float)) << to_debug(v);
  EXPECT_EQ(v.as_float(), d);
}

void expect_string(const Value &v, const std::string &s) {
  ASSERT_TRUE(v.is(ValueKind::String)) << to_debug(v);
  EXPECT_EQ(v.as_text(), s);
}

TEST(BuiltinDispatch, MatchesWholeNamesExactly) {
  GraphicsContext graphics;
  std::vector<Value> none;
  EXPECT_TRUE(call_builtin("len", none, graphics).has_value());
  EXPECT_FALSE(call_builtin("Len", none, graphics).has_value());
  EXPECT_FALSE(call_builtin("lenx", none, graphics).has_value());
  EXPECT_FALSE(call_builtin("sdl2.len", none, graphics).has_value());
}

TEST(BuiltinConvention, TooFewArgumentsGiveNull) {
  for (const char *name :
       {"input", "typeof", "len", "upper", "lower", "pop", "reverse", "abs",
        "sqrt", "floor", "ceil", "round"})
    EXPECT_TRUE(call(name, {}).is_null()) << name;
  for (const char *name : {"split", "contains", "push", "pow", "min", "max",
                           "random_range"})
    EXPECT_TRUE(call(name, {num(1)}).is_null()) << name;
  EXPECT_TRUE(call("slice", {str("abc"), num(1)}).is_null());
}

TEST(BuiltinConvention, MistypedArgumentsGiveNull) {
  EXPECT_TRUE(call("upper", {num(5)}).is_null());
  EXPECT_TRUE(call("lower", {Value::array({})}).is_null());
  EXPECT_TRUE(call("slice", {num(42), num(0), num(1)}).is_null());
  EXPECT_TRUE(call("slice", {str("hello"), str("1"), num(3)}).is_null());
  EXPECT_TRUE(call("push", {str("abc"), num(1)}).is_null());
  EXPECT_TRUE(call("pop", {str("abc")}).is_null());
  EXPECT_TRUE(call("reverse", {str("abc")}).is_null());
  EXPECT_TRUE(call("abs", {str("-3")}).is_null());
  EXPECT_TRUE(call("pow", {num(2), str("3")}).is_null());
  EXPECT_TRUE(call("sqrt", {Value::boolean(true)}).is_null());
  EXPECT_TRUE(call("floor", {Value()}).is_null());
  EXPECT_TRUE(call("random_range", {str("1"), num(7)}).is_null());
  EXPECT_TRUE(call("len", {num(5)}).is_null());
}

TEST(BuiltinConvention, SurplusArgumentsAreIgnored) {
  expect_number(call("len", {str("abc"), num(1), num(2)}), 3);
  expect_string(call("upper", {str("a"), num(1)}), "A");
  expect_number(call("floor", {real(2.5), str("x")}), 2);
  expect_string(call("typeof", {real(1), num(1)}), "float");
}

TEST(CoreBuiltins, TypeNamesAndTests) {
  expect_string(call("typeof", {num(3)}), "number");
  expect_string(call("typeof", {real(3)}), "float");
  expect_string(call("typeof", {Value()}), "null");
  expect_string(call("typeof", {Value::rect({1, 2, 3, 4})}), "unknown");
  expect_string(call("typeof", {Value::error("x")}), "unknown");

  // Without an argument the tests say false rather than Null.
  for (const char *name : {"is_number", "is_string", "is_array", "is_dict"}) {
    Value v = call(name, {});
    ASSERT_TRUE(v.is(ValueKind::Boolean)) << name;
    EXPECT_FALSE(v.as_boolean()) << name;
  }
  EXPECT_TRUE(call("is_number", {real(2.5)}).as_boolean());
  EXPECT_TRUE(call("is_number", {num(2)}).as_boolean());
  EXPECT_FALSE(call("is_number", {str("3")}).as_boolean());
  EXPECT_TRUE(call("is_string", {str("")}).as_boolean());
  EXPECT_TRUE(call("is_array", {Value::array({})}).as_boolean());
  EXPECT_FALSE(call("is_array", {Value::dict(Dict())}).as_boolean());
  EXPECT_TRUE(call("is_dict", {Value::dict(Dict())}).as_boolean());
}

TEST(CoreBuiltins, LenCountsBytesElementsEntries) {
  expect_number(call("len", {str("h\xc3\xa9llo")}), 6);
  expect_number(call("len", {Value::array({})}), 0);
  Dict d;
  d.set("a", num(1));
  d.set("b", num(2));
  expect_number(call("len", {Value::dict(std::move(d))}), 2);
}

// Feeds `bytes` to read_input_line through an in-memory stream.
std::vector<std::string> read_lines(const std::string &bytes, int count) {
  std::string buffer = bytes;
  std::FILE *in = fmemopen(buffer.data(), buffer.size(), "r");
  EXPECT_NE(in, nullptr);
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back(read_input_line(in));
  std::fclose(in);
  return lines;
}

TEST(InputLine, TrimsUnicodeWhiteSpaceAtBothEnds) {
  EXPECT_EQ(read_lines("  hello \n", 1)[0], "hello");
  // U+00A0, U+3000 and U+2028 are White_Space; the inner blank stays.
  EXPECT_EQ(read_lines("\xc2\xa0\ta b\xe3\x80\x80\xe2\x80\xa8\r\n", 1)[0],
            "a b");
  // U+200B (zero width space) is not White_Space.
  EXPECT_EQ(read_lines("\xe2\x80\x8bx\n", 1)[0], "\xe2\x80\x8bx");
  EXPECT_EQ(read_lines(" \t \n", 1)[0], "");
}

TEST(InputLine, ReadsOneLineAtATimeAndEndOfInputIsEmpty) {
  std::vector<std::string> lines = read_lines("first\n\nlast", 5);
  EXPECT_EQ(lines, (std::vector<std::string>{"first", "", "last", "", ""}));
}

TEST(InputLine, IllFormedLineGivesEmptyTextAndLaterLinesStillRead) {
  // A lone continuation byte, an overlong slash and an encoded surrogate.
  std::vector<std::string> lines =
      read_lines("a\x80\n\xc0\xaf\n\xed\xa0\x80\nok\n", 4);
  EXPECT_EQ(lines, (std::vector<std::string>{"", "", "", "ok"}));
}

TEST(InputLine, EmbeddedNulIsKept) {
  std::string line = read_lines(std::string("a\0b\n", 4), 1)[0];
  EXPECT_EQ(line, std::string("a\0b", 3));
}

TEST(TextBuiltins, CaseMappingIsFullAndUnicodeAware) {
  expect_string(call("upper", {str("stra\xc3\x9f" "e")}), "STRASSE");
  expect_string(call("lower", {str("\xc3\x80" "B")}), "\xc3\xa0" "b");
  // Final sigma: ΟΔΟΣ lower-cases to οδος with ς at the end of the word.
  expect_string(call("lower", {str("\xce\x9f\xce\x94\xce\x9f\xce\xa3")}),
                "\xce\xbf\xce\xb4\xce\xbf\xcf\x82");
  // ...but σ inside a word.
  expect_string(call("lower", {str("\xce\xa3\xce\x91")}),
                "\xcf\x83\xce\xb1");
  // Root locale, not Turkish: i upper-cases to I, not İ.
  expect_string(call("upper", {str("i")}), "I");
  expect_string(call("upper", {str("1 + 2 = 3!")}), "1 + 2 = 3!");
  expect_string(call("upper", {str("")}), "");
}

TEST(TextBuiltins, SliceCountsCharactersWithUnsignedBounds) {
  Value hello = str("hello");
  expect_string(call("slice", {hello, num(1), num(3)}), "el");
  expect_string(call("slice", {hello, num(3), num(1)}), "lo");
  expect_string(call("slice", {hello, num(0), num(0)}), "");
  expect_string(call("slice", {hello, num(10), num(20)}), "");
  expect_string(call("slice", {hello, num(-1), num(3)}), "");
  expect_string(call("slice", {hello, num(0), num(kMaxInt)}), "hello");
  expect_string(call("slice", {hello, num(2), num(kMinInt)}), "llo");
  expect_string(call("slice", {hello, real(1.7), real(3.2)}), "el");
  expect_string(call("slice", {hello, real(NAN), num(2)}), "he");
  expect_string(call("slice", {str("h\xc3\xa9llo"), num(1), num(2)}),
                "\xc3\xa9");
  expect_string(call("slice", {str("a\xf0\x9f\x98\x80" "b"), num(1), num(3)}),
                "\xf0\x9f\x98\x80" "b");
}

TEST(TextBuiltins, SplitKeepsEmptyPieces) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(texts(call("split", {str("a,b,,c"), str(",")})),
            (Pieces{"a", "b", "", "c"}));
  EXPECT_EQ(texts(call("split", {str(",a,"), str(",")})),
            (Pieces{"", "a", ""}));
  EXPECT_EQ(texts(call("split", {str("abc"), str("x")})), (Pieces{"abc"}));
  EXPECT_EQ(texts(call("split", {str(""), str(",")})), (Pieces{""}));
  // Non-overlapping, scanning from the left.
  EXPECT_EQ(texts(call("split", {str("aaa"), str("aa")})), (Pieces{"", "a"}));
  // Non-text arguments are split through their textual forms.
  EXPECT_EQ(texts(call("split", {real(12.5), str(".")})),
            (Pieces{"12", "5"}));
  EXPECT_EQ(texts(call("split", {num(1020), num(0)})),
            (Pieces{"1", "2", ""}));
}

TEST(TextBuiltins, SplitByEmptySeparatorCutsAtEveryCharacterBoundary) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(texts(call("split", {str("abc"), str("")})),
            (Pieces{"", "a", "b", "c", ""}));
  EXPECT_EQ(texts(call("split", {str("\xc3\xa9z"), str("")})),
            (Pieces{"", "\xc3\xa9", "z", ""}));
  // The one boundary of the empty text is both before and after it.
  EXPECT_EQ(texts(call("split", {str(""), str("")})), (Pieces{"", ""}));
}

TEST(TextBuiltins, ConcatAndContainsUseTextualForms) {
  expect_string(call("concat", {}), "");
  expect_string(call("concat", {num(1), real(2.5), Value::boolean(true)}),
                "12.5true");
  auto contains = [](Value text, Value needle) {
    Value v = call("contains", {std::move(text), std::move(needle)});
    EXPECT_TRUE(v.is(ValueKind::Boolean)) << to_debug(v);
    return v.as_boolean();
  };
  EXPECT_TRUE(contains(str("hello"), str("")));
  EXPECT_TRUE(contains(str("hello"), str("lo")));
  EXPECT_FALSE(contains(str("hello"), str("ol")));
  EXPECT_TRUE(contains(Value::array({num(1), num(2)}), str("2")));
  EXPECT_TRUE(contains(Value::array({num(1), num(2)}), str(", ")));
  EXPECT_TRUE(contains(num(123), num(2)));
  EXPECT_TRUE(contains(Value(), str("ul")));
}

TEST(CollectionBuiltins, PushPopReverseLeaveASharedArgumentUnchanged) {
  Value held = Value::array({num(1), num(2), num(3)});
  const Object *payload = held.object();

  Value pushed = call("push", {held, str("x")});
  EXPECT_EQ(texts(pushed), (std::vector<std::string>{"1", "2", "3", "x"}));
  Value popped = call("pop", {held});
  expect_number(popped, 3);
  Value reversed = call("reverse", {held});
  EXPECT_EQ(texts(reversed), (std::vector<std::string>{"3", "2", "1"}));

  EXPECT_EQ(held.object(), payload);
  EXPECT_EQ(to_text(held), "[1, 2, 3]");
  EXPECT_NE(pushed.object(), payload);
  EXPECT_NE(reversed.object(), payload);
}

TEST(CollectionBuiltins, PushAndReverseWorkInPlaceOnTheOnlyHolder) {
  GraphicsContext graphics;
  std::vector<Value> args{Value::array({num(1)}), num(2)};
  const Object *payload = args[0].object();
  Value pushed = builtin_push(args, graphics);
  EXPECT_EQ(pushed.object(), payload);
  EXPECT_EQ(to_text(pushed), "[1, 2]");

  std::vector<Value> one{std::move(pushed)};
  Value reversed = builtin_reverse(one, graphics);
  EXPECT_EQ(reversed.object(), payload);
  EXPECT_EQ(to_text(reversed), "[2, 1]");
}

TEST(CollectionBuiltins, BuildingAnArrayElementByElement) {
  GraphicsContext graphics;
  Value xs = Value::array({});
  for (int64_t i = 0; i < 1000; ++i) {
    std::vector<Value> args{std::move(xs), num(i)};
    xs = builtin_push(args, graphics);
  }
  ASSERT_EQ(xs.as_array().size(), 1000u);
  expect_number(xs.as_array()[999], 999);
  expect_number(call("pop", {xs}), 999);
}

TEST(CollectionBuiltins, PopOfEmptyAndPushOfNested) {
  EXPECT_TRUE(call("pop", {Value::array({})}).is_null());
  Value inner = Value::array({num(1)});
  Value outer = call("push", {Value::array({}), inner});
  EXPECT_EQ(to_text(outer), "[[1]]");
  EXPECT_EQ(to_text(inner), "[1]");
}

TEST(NumericBuiltins, AbsKeepsTheVariant) {
  expect_number(call("abs", {num(-3)}), 3);
  expect_number(call("abs", {num(kMinInt)}), kMinInt);
  expect_float(call("abs", {real(-2.5)}), 2.5);
  Value zero = call("abs", {real(-0.0)});
  ASSERT_TRUE(zero.is(ValueKind::Float));
  EXPECT_FALSE(std::signbit(zero.as_float()));
  Value nan = call("abs", {real(-NAN)});
  ASSERT_TRUE(nan.is(ValueKind::Float));
  EXPECT_TRUE(std::isnan(nan.as_float()));
  EXPECT_FALSE(std::signbit(nan.as_float()));
}

TEST(NumericBuiltins, PowAndSqrtGiveFloats) {
  expect_float(call("pow", {num(2), num(10)}), 1024.0);
  expect_float(call("pow", {real(4), real(0.5)}), 2.0);
  expect_float(call("sqrt", {num(16)}), 4.0);
  Value root = call("sqrt", {num(-1)});
  ASSERT_TRUE(root.is(ValueKind::Float));
  EXPECT_TRUE(std::isnan(root.as_float()));
}

TEST(NumericBuiltins, RoundingGivesSaturatedNumbers) {
  expect_number(call("floor", {real(-2.5)}), -3);
  expect_number(call("ceil", {real(-2.5)}), -2);
  expect_number(call("round", {real(-2.5)}), -3);
  expect_number(call("round", {real(2.5)}), 3);
  expect_number(call("round", {real(2.4)}), 2);
  expect_number(call("round", {real(-0.4)}), 0);
  expect_number(call("floor", {num(7)}), 7);
  expect_number(call("floor", {real(NAN)}), 0);
  expect_number(call("ceil", {real(1e300)}), kMaxInt);
  expect_number(call("floor", {real(-INFINITY)}), kMinInt);
  // Integers pass through a double: 2^53 + 1 loses its lowest bit.
  expect_number(call("round", {num((int64_t{1} << 53) + 1)}),
                int64_t{1} << 53);
  expect_number(call("floor", {num(kMaxInt)}), kMaxInt);
}

TEST(NumericBuiltins, MinAndMaxOrderingRules) {
  expect_float(call("min", {num(3), num(1)}), 1.0);
  expect_float(call("max", {num(1), num(5), num(3)}), 5.0);
  EXPECT_TRUE(call("min", {num(3)}).is_null());
  expect_float(call("min", {str("a"), num(4)}), 4.0);
  EXPECT_TRUE(call("min", {str("a"), str("b")}).is_null());
  // Equal values: min keeps the earlier, max takes the later.
  Value least = call("min", {real(0.0), real(-0.0)});
  ASSERT_TRUE(least.is(ValueKind::Float));
  EXPECT_FALSE(std::signbit(least.as_float()));
  Value greatest = call("max", {real(0.0), real(-0.0)});
  ASSERT_TRUE(greatest.is(ValueKind::Float));
  EXPECT_TRUE(std::signbit(greatest.as_float()));
  // A following NaN: max takes it, min does not; a leading NaN sticks for
  // min and is replaced by max.
  EXPECT_TRUE(std::isnan(call("max", {num(1), real(NAN)}).as_float()));
  expect_float(call("min", {num(1), real(NAN)}), 1.0);
  EXPECT_TRUE(std::isnan(call("min", {real(NAN), num(1)}).as_float()));
  expect_float(call("max", {real(NAN), num(1)}), 1.0);
}

TEST(RandomBuiltins, RandomStaysInTheUnitInterval) {
  bool low_half = false, high_half = false;
  for (int i = 0; i < 2000; ++i) {
    Value v = call("random", {str("ignored")});
    ASSERT_TRUE(v.is(ValueKind::Float));
    double d = v.as_float();
    ASSERT_GE(d, 0.0);
    ASSERT_LT(d, 1.0);
    (d < 0.5 ? low_half : high_half) = true;
  }
  EXPECT_TRUE(low_half && high_half);
}

TEST(RandomBuiltins, RangeSpreadsBothSidesOfTheLowBound) {
  std::vector<int> seen(11, 0);
  for (int i = 0; i < 5000; ++i) {
    Value v = call("random_range", {num(1), real(7.9)});
    ASSERT_TRUE(v.is(ValueKind::Number));
    int64_t n = v.as_number();
    ASSERT_GE(n, -4);
    ASSERT_LE(n, 6);
    ++seen[static_cast<size_t>(n + 4)];
  }
  for (size_t i = 0; i < seen.size(); ++i)
    EXPECT_GT(seen[i], 0) << "never drew " << static_cast<int>(i) - 4;
}

TEST(RandomBuiltins, RangeEdgeWidths) {
  for (int i = 0; i < 200; ++i) {
    expect_number(call("random_range", {num(5), num(6)}), 5);
    expect_number(call("random_range", {num(6), num(5)}), 6);
    expect_number(call("random_range", {num(9), num(9)}), 9);
    // The width wraps to -1 here; the result is still the low bound.
    expect_number(call("random_range", {num(kMinInt), num(kMaxInt)}),
                  kMinInt);
    Value wide = call("random_range", {num(0), num(kMinInt)});
    ASSERT_TRUE(wide.is(ValueKind::Number));
    EXPECT_NE(wide.as_number(), kMinInt);
  }
}

} // namespace
} // namespace tovik
