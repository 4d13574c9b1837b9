#include "interpreter/builtins/input_line.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "support/limits.h"
#include "support/source.h"

namespace tovik {

std::string read_input_line(std::FILE *in) {
  std::string line;
  for (;;) {
    int c = std::getc(in);
    if (c == EOF) break;
    check_text_length(line.size() + 1);
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  // Both flags are sticky; clearing them lets a later prompt on a terminal
  // wait for input again instead of failing at once.
  std::clearerr(in);
  if (!is_valid_utf8(line)) return std::string();
  return std::string(trim_white_space(line));
}

} // namespace tovik
