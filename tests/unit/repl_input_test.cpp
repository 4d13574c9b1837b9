#include <gtest/gtest.h>

#include <limits>

#include "repl/brackets.h"
#include "support/source.h"

namespace tovik {
namespace {

constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();

TEST(Brackets, RoundAndSquareShareOneCountCurlyHasItsOwn) {
  BracketDepth depth;
  count_brackets(depth, "f([1, 2]");
  EXPECT_EQ(depth.paren_depth, 1);
  EXPECT_EQ(depth.brace_depth, 0);
  count_brackets(depth, "def g() { if x { ]");
  EXPECT_EQ(depth.paren_depth, 0);
  EXPECT_EQ(depth.brace_depth, 2);
  EXPECT_TRUE(keeps_input_open(depth));
}

TEST(Brackets, CountInsideStringsAndComments) {
  BracketDepth depth;
  count_brackets(depth, "print(\"(\") # {");
  EXPECT_EQ(depth.paren_depth, 1);
  EXPECT_EQ(depth.brace_depth, 1);
}

TEST(Brackets, StrayCloserRunsButLeavesTheContinuationPrompt) {
  BracketDepth depth;
  count_brackets(depth, ")");
  EXPECT_EQ(depth.paren_depth, -1);
  EXPECT_FALSE(keeps_input_open(depth));
  EXPECT_TRUE(is_continuation(depth));
  count_brackets(depth, "(");
  EXPECT_FALSE(is_continuation(depth));
}

TEST(Brackets, OneCountNegativeOtherPositiveKeepsTheInput) {
  BracketDepth depth;
  count_brackets(depth, ") {");
  EXPECT_EQ(depth.paren_depth, -1);
  EXPECT_EQ(depth.brace_depth, 1);
  EXPECT_TRUE(keeps_input_open(depth));
}

TEST(Brackets, CountsStopAtThe32BitLimits) {
  BracketDepth depth{kMin, kMin + 1};
  count_brackets(depth, ")]}}}");
  EXPECT_EQ(depth.paren_depth, kMin);
  EXPECT_EQ(depth.brace_depth, kMin);
  count_brackets(depth, "(");
  EXPECT_EQ(depth.paren_depth, kMin + 1);

  BracketDepth high{kMax - 1, kMax};
  count_brackets(high, "(([{");
  EXPECT_EQ(high.paren_depth, kMax);
  EXPECT_EQ(high.brace_depth, kMax);
}

TEST(Brackets, MultiByteTextHoldsNoBrackets) {
  BracketDepth depth;
  count_brackets(depth, "\"\xE2\x80\x94 \xF0\x9F\x98\x80 \xC3\xA9\"");
  EXPECT_EQ(depth.paren_depth, 0);
  EXPECT_EQ(depth.brace_depth, 0);
}

// The loop trims like input() does; these are the cases that decide
// whether a typed line reads as exit, as blank, or as code.
TEST(Trim, LoopLinesLoseOnlyWhiteSpace) {
  EXPECT_EQ(trim_white_space("  exit \t\r\n"), "exit");
  // Next line and line separator are White_Space; the information
  // separator U+001C and the byte-order mark are not.
  EXPECT_EQ(trim_white_space("\xC2\x85quit\xE2\x80\xA8"), "quit");
  EXPECT_EQ(trim_white_space("\x0B\x0C a  b \x1C"), "a  b \x1C");
  EXPECT_EQ(trim_white_space("quit\xEF\xBB\xBF"), "quit\xEF\xBB\xBF");
  EXPECT_EQ(trim_white_space("\xE2\x80\x83\xE2\x80\x83\n"), "");
}

} // namespace
} // namespace tovik
