#include "interpreter/text_position.h"

#include <cstring>
#include <string>

#include <unicode/utf8.h>

namespace tovik {

namespace {

// A few remembered positions, searched in turn, so that a loop walking two
// or three texts side by side keeps each one's place. Each keeps both ends
// of its text's last range: a walk in order goes on from the end, a window
// sliding by less than its width from the start.
struct Position {
  const Object *text = nullptr;
  uint64_t index = 0;
  size_t offset = 0;
  uint64_t end_index = 0;
  size_t end_offset = 0;
};
constexpr size_t kPositions = 4;
thread_local Position positions[kPositions];
thread_local size_t next_victim = 0;

Position *find_position(const Object *text) {
  for (Position &p : positions)
    if (p.text == text) return &p;
  return nullptr;
}

constexpr uint64_t kHighBits = 0x8080808080808080ull;

uint64_t word_at(const char *bytes) {
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

bool is_ascii(const std::string &text) {
  const char *bytes = text.data();
  size_t i = 0, size = text.size();
  for (; i + 8 <= size; i += 8)
    if (word_at(bytes + i) & kHighBits) return false;
  for (; i < size; ++i)
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
  return true;
}

// Byte offset `count` characters on from `at`, stopping at the end. An
// ill-formed byte counts as one character, so a walk always makes progress.
// Inline: the walks of a text read in order are of one character or none.
[[gnu::always_inline]] inline size_t walk(const std::string &text, size_t at,
                                          uint64_t count) {
  const char *bytes = text.data();
  const size_t size = text.size();
  while (count > 0 && at < size) {
    // Eight ASCII bytes are eight characters.
    if (count >= 8 && at + 8 <= size && !(word_at(bytes + at) & kHighBits)) {
      at += 8;
      count -= 8;
      continue;
    }
    if (static_cast<unsigned char>(bytes[at]) < 0x80) {
      ++at;
      --count;
      continue;
    }
    const auto *s = reinterpret_cast<const uint8_t *>(bytes);
    int64_t i = static_cast<int64_t>(at);
    U8_FWD_1(s, i, static_cast<int64_t>(size));
    at = static_cast<size_t>(i);
    --count;
  }
  return at;
}

} // namespace

ByteRange character_range(const TextObject &text, uint64_t start,
                          uint64_t count) {
  const std::string &bytes = text.text;
  const size_t size = bytes.size();
  auto ascii_range = [&] {
    const size_t begin = start < size ? start : size;
    return ByteRange{begin, count < size - begin
                                ? static_cast<size_t>(begin + count)
                                : size};
  };
  if (text.hints & kTextAscii) return ascii_range();
  Position *slot = find_position(&text);
  uint64_t from_index = 0;
  size_t from_offset = 0;
  if (slot && slot->end_index <= start) {
    from_index = slot->end_index;
    from_offset = slot->end_offset;
  } else if (slot && slot->index <= start) {
    from_index = slot->index;
    from_offset = slot->offset;
  } else if (!(text.hints & kTextMixed) && start * 8 >= size) {
    // Scanning is cheaper than the walk it would save, and answers every
    // later lookup at once.
    text.hints |= is_ascii(bytes) ? kTextAscii : kTextMixed;
    if (text.hints & kTextAscii) return ascii_range();
  }
  const size_t begin = walk(bytes, from_offset, start - from_index);
  const size_t end = walk(bytes, begin, count);
  if (!slot) {
    slot = &positions[next_victim];
    next_victim = (next_victim + 1) % kPositions;
    if (slot->text) slot->text->hints &= static_cast<uint8_t>(~kTextPositioned);
    slot->text = &text;
    text.hints |= kTextPositioned;
  }
  slot->index = start;
  slot->offset = begin;
  // Short of the text's end the walk took exactly `count` characters; at
  // the end it may have taken fewer, so only the start is known.
  const bool end_known = end < size;
  slot->end_index = end_known ? start + count : start;
  slot->end_offset = end_known ? end : begin;
  return {begin, end};
}

void forget_text_position(const Object &text) {
  if (Position *slot = find_position(&text)) *slot = Position{};
}

} // namespace tovik
