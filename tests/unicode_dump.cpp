// Prints what support/unicode.h answers for every code point, a line per
// block of 256: the native build answers from ICU, the web build from its
// generated tables, and tests/unicode_compare.py holds the two side by side.
//
// Each code point c contributes: whether it may continue a name, whether it
// is white space, upper(c) and lower(c) (one character may become several),
// and the final-sigma rule around it: lower(c Σ), lower(A Σ c) and
// lower(A c Σ), which show whether c counts as cased or case-ignorable.
//
// Usage: unicode_dump [FIRST_BLOCK LAST_BLOCK]   (in full for those blocks)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/unicode.h"

namespace {

std::string utf8(int32_t c) {
  std::string out;
  auto u = static_cast<uint32_t>(c);
  if (u < 0x80) {
    out += static_cast<char>(u);
  } else if (u < 0x800) {
    out += static_cast<char>(0xC0 | (u >> 6));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else if (u < 0x10000) {
    out += static_cast<char>(0xE0 | (u >> 12));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (u >> 18));
    out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

std::string mapped(const std::string &text, tovik::CaseMapping mapping) {
  std::string out;
  if (!tovik::map_case(text, mapping, out)) return "(out of memory)";
  return out;
}

// Everything known about one code point, as bytes.
std::string answers(int32_t c) {
  const std::string sigma = utf8(0x3A3);
  const std::string text = utf8(c);
  std::string out;
  out += tovik::is_identifier_character(c) ? 'I' : '-';
  out += tovik::is_white_space(c) ? 'W' : '-';
  for (const std::string &part :
       {mapped(text, tovik::CaseMapping::Upper),
        mapped(text, tovik::CaseMapping::Lower),
        mapped(text + sigma, tovik::CaseMapping::Lower),
        mapped("A" + sigma + text, tovik::CaseMapping::Lower),
        mapped("A" + text + sigma, tovik::CaseMapping::Lower)}) {
    out += '|';
    out += part;
  }
  return out;
}

uint64_t fnv1a(uint64_t hash, const std::string &bytes) {
  for (unsigned char b : bytes) {
    hash ^= b;
    hash *= 0x100000001B3ull;
  }
  return hash;
}

void print_hex(const std::string &bytes) {
  for (unsigned char b : bytes) std::printf("%02X", b);
}

} // namespace

int main(int argc, char **argv) {
  constexpr int32_t kBlocks = 0x110000 / 256;
  if (argc == 3) {
    int32_t first = std::atoi(argv[1]), last = std::atoi(argv[2]);
    for (int32_t block = first; block <= last && block < kBlocks; ++block)
      for (int32_t c = block * 256; c < (block + 1) * 256; ++c) {
        std::printf("U+%04X ", c);
        print_hex(answers(c));
        std::printf("\n");
      }
    return 0;
  }
  for (int32_t block = 0; block < kBlocks; ++block) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (int32_t c = block * 256; c < (block + 1) * 256; ++c)
      hash = fnv1a(hash, answers(c) + '\n');
    std::printf("%d %016llx\n", block, static_cast<unsigned long long>(hash));
  }
  return 0;
}
