#include <gtest/gtest.h>

#include <string>

#include "check/check.h"
#include "check/names.h"

namespace tovik {
namespace {

std::string codes(std::string_view source) {
  std::string out;
  for (const CheckWarning &w : check_source(source)) {
    if (!out.empty()) out += ' ';
    out += std::to_string(w.line) + ":" + std::to_string(w.column) + " " + std::string(w.code);
  }
  return out;
}

TEST(Check, SuggestsOnlyCloseNames) {
  EXPECT_EQ(closest_name("prnt", {"print", "input", "pop"}), "print");
  EXPECT_EQ(closest_name("totl", {"total", "tool"}), "tool"); // a tie goes to the first in order
  EXPECT_EQ(closest_name("lenght", {"length", "len"}), "length");
  EXPECT_EQ(closest_name("xs", {"x", "ys"}), "");   // too short to guess
  EXPECT_EQ(closest_name("banana", {"apple"}), "");
  EXPECT_EQ(closest_name("count", {"count"}), "");  // itself is no suggestion
}

TEST(Check, SuggestionsForgiveSwapsAndCase) {
  // A swap of neighbours is one edit, however short the name.
  EXPECT_EQ(closest_name("aera", {"area", "era"}), "area");
  EXPECT_EQ(closest_name("retrun", {"return", "result"}), "return");
  EXPECT_EQ(closest_name("avearge", {"average"}), "average");
  // A difference of case alone wins over any edit, even for short names.
  EXPECT_EQ(closest_name("True", {"tree", "true"}), "true");
  EXPECT_EQ(closest_name("Pi", {"pi", "p"}), "pi");
  // Longer names allow more edits; three are too many for eight letters.
  EXPECT_EQ(closest_name("plyr_nme", {"player_name"}), "");
  EXPECT_EQ(closest_name("playr_nme", {"player_name"}), "player_name");
  // Other languages' names for a builtin's work, and their near misses.
  EXPECT_EQ(closest_function("lenght", {"len", "print"}), "len");
  EXPECT_EQ(closest_function("append", {"push"}), "push");
  EXPECT_EQ(closest_function("prnt", {"print"}), "print");
  EXPECT_EQ(closest_name("lenght", {"len"}), "");
}

TEST(Check, SuggestionsStayCheapForHugeNames) {
  // Names far longer than anyone mistypes are neither guessed nor offered.
  std::string huge(1000, 'a'), other(1000, 'a');
  other[500] = 'b';
  EXPECT_EQ(closest_name(huge, {other}), "");
  EXPECT_EQ(closest_name("aaaa", {huge, "aaab"}), "aaab");
}

TEST(Check, WarningsComeInTextOrderWithTheirPlaces) {
  EXPECT_EQ(codes("print(x)\nlet x = 1\n"), "");
  EXPECT_EQ(codes("\tprnt(1)\r\nlet a = [1\n"), "1:2 W301 2:9 W103");
  EXPECT_EQ(codes("print(7 / 2.0, 7 / 2, 7.0 / 2.0)"), "1:9 W501");
  // A repair inside a form already named is not reported again.
  EXPECT_EQ(codes("let i = 0\ni++\nprint(i)"), "2:2 W202");
  EXPECT_EQ(codes("let a = 1 // half\n"), "1:11 W203");
}

TEST(Check, CallsResolveLikeARun) {
  // A variable may hold a function; a parameter may be called.
  EXPECT_EQ(codes("def f(g) { return g(1) }\nlet h = f\nprint(h(2))"), "");
  // Builtins win over a def of the same name, so the def's arity is moot:
  // the def itself is what is reported, since no call reaches it.
  EXPECT_EQ(codes("def len(a, b) { return 0 }\nprint(len(\"ab\"))"), "1:1 W409");
  // A def named like a library function wins, and is checked as any def.
  EXPECT_EQ(codes("def sort(a, b) { return a }\nprint(sort([2, 1]))"), "2:7 W302");
  // Two defs of one name: no single parameter list to compare with.
  EXPECT_EQ(codes("def f(a) { return a }\ndef f(a, b) { return b }\nprint(f(1))"), "");
  EXPECT_EQ(codes("print(sdl2.init(), sdl2.innit())"), "1:20 W301");
}

} // namespace
} // namespace tovik
