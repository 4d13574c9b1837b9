// The scanner: source text to tokens, in one pass, never failing.
#pragma once

#include <string_view>
#include <vector>

#include "lexer/token.h"

namespace tovik {

// The tokens of `source`, always ending with exactly one EOF.
std::vector<Token> tokenize(std::string_view source);

} // namespace tovik
