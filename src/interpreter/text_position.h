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

// The byte offset of character `index` (the text's size when past its end).
// Remembers the answer, so that asking for it or a later index next walks
// only the difference.
size_t character_offset(const TextObject &text, uint64_t index);

// Byte offset `count` characters on from `at`, stopping at the end. An
// ill-formed byte counts as one character, so a walk always makes progress.
size_t advance_characters(const std::string &text, size_t at, uint64_t count);

// Called before a text payload changes in place (value_objects.h declares
// forget_text_position, which its destructor calls).
inline void text_changes(const Object &text) {
  if (text.hints & kTextPositioned) forget_text_position(text);
  text.hints = 0;
}

} // namespace tovik
