#include "repl/trim.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace tovik {

std::string_view trim_white_space(std::string_view text) {
  const auto *bytes = reinterpret_cast<const uint8_t *>(text.data());
  const auto length = static_cast<int32_t>(text.size());

  int32_t begin = 0;
  while (begin < length) {
    int32_t next = begin;
    UChar32 c;
    U8_NEXT(bytes, next, length, c);
    if (c < 0 || !u_isUWhiteSpace(c)) break;
    begin = next;
  }

  int32_t end = length;
  while (end > begin) {
    int32_t previous = end;
    UChar32 c;
    U8_PREV(bytes, begin, previous, c);
    if (c < 0 || !u_isUWhiteSpace(c)) break;
    end = previous;
  }
  return text.substr(static_cast<size_t>(begin),
                     static_cast<size_t>(end - begin));
}

} // namespace tovik
