// The web build's answers, from tables web/tools/unicode_tables.cpp writes
// from the host's ICU when the build starts.
#include "support/unicode.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <iterator>

namespace tovik {

namespace {

struct CodeRange {
  int32_t first;
  int32_t last;
};

struct CaseMappingEntry {
  int32_t code;
  const char *mapped;
};

#include <tovik_unicode_tables.inc>

template <size_t N> bool in_ranges(const CodeRange (&ranges)[N], int32_t code) {
  auto after = std::upper_bound(
      std::begin(ranges), std::end(ranges), code,
      [](int32_t c, const CodeRange &range) { return c < range.first; });
  return after != std::begin(ranges) && code <= std::prev(after)->last;
}

template <size_t N>
const char *find_mapping(const CaseMappingEntry (&entries)[N], int32_t code) {
  auto at = std::lower_bound(
      std::begin(entries), std::end(entries), code,
      [](const CaseMappingEntry &entry, int32_t c) { return entry.code < c; });
  return at != std::end(entries) && at->code == code ? at->mapped : nullptr;
}

constexpr int32_t kCapitalSigma = 0x3A3;

int32_t next_code(const uint8_t *bytes, int64_t &at, int64_t length) {
  UChar32 code;
  U8_NEXT_OR_FFFD(bytes, at, length, code);
  return code;
}

// The character that ends at `at`, moving `at` to its start; a byte that
// ends no well-formed character is one character of its own.
int32_t previous_code(const uint8_t *bytes, int64_t &at) {
  int64_t start = at - 1;
  while (start > 0 && at - start < 4 && U8_IS_TRAIL(bytes[start])) --start;
  int64_t walk = start;
  int32_t code = next_code(bytes, walk, at);
  if (walk != at) {
    at -= 1;
    return 0xFFFD;
  }
  at = start;
  return code;
}

// Whether the first character that is not case-ignorable, walking from the
// sigma in one direction, is cased: the final-sigma context.
bool cased_before(const uint8_t *bytes, int64_t at) {
  while (at > 0) {
    int32_t code = previous_code(bytes, at);
    if (in_ranges(kCaseIgnorable, code)) continue;
    return in_ranges(kCased, code);
  }
  return false;
}

bool cased_after(const uint8_t *bytes, int64_t at, int64_t length) {
  while (at < length) {
    int32_t code = next_code(bytes, at, length);
    if (in_ranges(kCaseIgnorable, code)) continue;
    return in_ranges(kCased, code);
  }
  return false;
}

void append_code(std::string &out, int32_t code) {
  char buffer[4];
  int32_t n = 0;
  U8_APPEND_UNSAFE(buffer, n, code);
  out.append(buffer, static_cast<size_t>(n));
}

} // namespace

bool is_identifier_character(int32_t code) {
  return in_ranges(kIdentifierCharacters, code);
}

bool is_white_space(int32_t code) { return in_ranges(kWhiteSpace, code); }

bool map_case(std::string_view text, CaseMapping mapping,
              std::string &mapped) {
  const auto *bytes = reinterpret_cast<const uint8_t *>(text.data());
  const auto length = static_cast<int64_t>(text.size());
  // Allocation failures surface as they do for every other text.
  mapped.reserve(text.size());
  int64_t at = 0;
  while (at < length) {
    int64_t start = at;
    int32_t code = next_code(bytes, at, length);
    if (mapping == CaseMapping::Lower && code == kCapitalSigma &&
        cased_before(bytes, start) && !cased_after(bytes, at, length)) {
      append_code(mapped, 0x3C2); // final small sigma
      continue;
    }
    const char *to = mapping == CaseMapping::Upper
                         ? find_mapping(kUpperMappings, code)
                         : find_mapping(kLowerMappings, code);
    if (to)
      mapped += to;
    else
      append_code(mapped, code);
  }
  return true;
}

} // namespace tovik
