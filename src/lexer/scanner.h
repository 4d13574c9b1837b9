// The scanner: source text to tokens, in one pass, never failing.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "lexer/token.h"

namespace tovik {

// What the scanner passed over without a word: a string still open at the
// end of the text (at its opening quote), or a character that begins no
// token and was dropped.
struct ScanNote {
  enum Kind : uint8_t { UnterminatedString, DroppedCharacter } kind;
  uint32_t line;
  uint32_t column;
  int32_t code; // DroppedCharacter: the code point, or -2 for bytes that are not UTF-8
};

// The tokens of `source`, always ending with exactly one EOF. With `notes`,
// the places above are also recorded there; the tokens are the same.
std::vector<Token> tokenize(std::string_view source, std::vector<ScanNote> *notes = nullptr);

} // namespace tovik
