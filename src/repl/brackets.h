// Bracket counting that decides whether an input line is complete.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovik {

// Open round/square and curly brackets over the whole session. The counts
// are never reset, so a stray closer leaves a negative count behind that
// later openers must make up for.
struct BracketDepth {
  int32_t paren_depth = 0;
  int32_t brace_depth = 0;
};

// Counts every bracket in `line`, including those inside string literals and
// comments: the loop deliberately does not scan, so a line printing "(" keeps
// the input open.
void count_brackets(BracketDepth &depth, std::string_view line);

// True while an opener is unmatched: the line is kept, not run.
inline bool keeps_input_open(const BracketDepth &depth) {
  return depth.paren_depth > 0 || depth.brace_depth > 0;
}

// True when the continuation prompt is due (either count non-zero).
inline bool is_continuation(const BracketDepth &depth) {
  return depth.paren_depth != 0 || depth.brace_depth != 0;
}

} // namespace tovik
