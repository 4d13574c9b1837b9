// Where a character index falls in a text's bytes.
//
// Texts are UTF-8, so finding character i means walking from the start.
// A script that walks a text one character at a time (`slice(s, i, i + 1)`
// for i in order) would pay for the whole prefix on every step; instead the
// place each lookup ended is remembered per payload, and the next lookup
// walks on from there. A text found to be pure ASCII needs no walk at all.
#pragma once

#include <cstddef>
#include <cstdint>

#include "interpreter/value.h"

namespace tovik {

// The bytes of characters start .. start + count: where the first begins and
// where the last ends, both clamped to the text's size. Remembers where both
// fall, so that a next range beginning at or after either (the next
// character of a walk, an overlapping window) walks only the difference.
struct ByteRange {
  size_t begin, end;
};
ByteRange character_range(const TextObject &text, uint64_t start,
                          uint64_t count);

// Called before a text payload changes in place (value_objects.h declares
// the forget functions, which its destructor calls too).
inline void text_changes(const Object &text) {
  if (text.hints & kTextPositioned) forget_text_position(text);
  if (text.hints & kTextHashed) forget_text_hash(text);
  text.hints = 0;
}

} // namespace tovik
