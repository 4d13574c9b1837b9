// Any bytes scan to a token list that ends with exactly one EOF.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "lexer/scanner.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view text(reinterpret_cast<const char *>(data), size);
  std::vector<tovik::Token> tokens = tovik::tokenize(text);
  if (tokens.empty() || tokens.back().kind != tovik::TokenKind::Eof)
    __builtin_trap();
  for (size_t i = 0; i + 1 < tokens.size(); ++i)
    if (tokens[i].kind == tovik::TokenKind::Eof) __builtin_trap();
  return 0;
}
