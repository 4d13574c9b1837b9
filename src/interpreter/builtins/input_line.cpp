#include "interpreter/builtins/input_line.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "main/source.h"

namespace tovik {

std::string read_input_line(std::FILE *in) {
  std::string line;
  for (;;) {
    int c = std::getc(in);
    if (c == EOF) break;
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  // Both flags are sticky; clearing them lets a later prompt on a terminal
  // wait for input again instead of failing at once.
  std::clearerr(in);
  if (!is_valid_utf8(line)) return std::string();
  return std::string(trim_white_space(line));
}

std::string_view trim_white_space(std::string_view text) {
  const auto *s = reinterpret_cast<const uint8_t *>(text.data());
  const int64_t length = static_cast<int64_t>(text.size());
  // One forward pass: remember where the first non-space code point starts
  // and where the last one ends.
  int64_t begin = length, end = 0;
  int64_t i = 0;
  while (i < length) {
    int64_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (u_isUWhiteSpace(c)) continue;
    if (begin == length) begin = start;
    end = i;
  }
  if (begin >= end) return std::string_view();
  return text.substr(static_cast<size_t>(begin),
                     static_cast<size_t>(end - begin));
}

} // namespace tovik
