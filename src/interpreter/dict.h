// The dictionary payload: a map from text keys to values, open addressing
// over a seeded hash. Iteration follows the table's slots, so its order is
// undefined and changes from run to run.
#pragma once

// Dict lives beside Value, which embeds it in its payloads.
#include "interpreter/value.h"

namespace tovik {

// The out-of-line half of text_hash, for a payload looked up before.
uint64_t remembered_text_hash(const TextObject &text);

// The hash of a text used as a key, as Dict::find would compute it. From a
// payload's second lookup on it is remembered, so that a variable's text
// looked up again and again (`prices[item]`) is hashed once, while a key made
// for one lookup (`d[concat("k", i)]`) takes no place among the remembered
// ones. A remembered hash is forgotten when its payload changes in place or
// is freed.
inline uint64_t text_hash(const TextObject &text) {
  if (text.hints & (kTextHashed | kTextKeyed)) return remembered_text_hash(text);
  text.hints |= kTextKeyed;
  return hash_text(text.text);
}

} // namespace tovik
