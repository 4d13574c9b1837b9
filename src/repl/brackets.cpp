#include "repl/brackets.h"

#include <limits>

namespace tovik {

namespace {

// The counts stop at the 32-bit limits instead of wrapping, so no amount of
// closers can turn into a huge positive count.
void step(int32_t &count, int delta) {
  if (delta < 0 && count == std::numeric_limits<int32_t>::min()) return;
  if (delta > 0 && count == std::numeric_limits<int32_t>::max()) return;
  count += delta;
}

} // namespace

void count_brackets(BracketDepth &depth, std::string_view line) {
  // Bracket bytes never occur inside a multi-byte UTF-8 sequence, so a byte
  // walk sees exactly the bracket characters.
  for (char c : line) {
    switch (c) {
    case '(':
    case '[':
      step(depth.paren_depth, 1);
      break;
    case ')':
    case ']':
      step(depth.paren_depth, -1);
      break;
    case '{':
      step(depth.brace_depth, 1);
      break;
    case '}':
      step(depth.brace_depth, -1);
      break;
    default:
      break;
    }
  }
}

} // namespace tovik
