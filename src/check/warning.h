// What the checker reports: a place, a stable code and a message.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "lexer/token.h"

namespace tovik {

struct CheckWarning {
  uint32_t line = 0;
  uint32_t column = 0;
  std::string_view code; // "W101" ...: stable, documented in docs/reference.md
  std::string message;
};

using CheckWarnings = std::vector<CheckWarning>;

// The parts one after the other: messages are built from several pieces.
inline std::string join(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view p : parts) out.append(p);
  return out;
}

// How a token kind is named in a message: "')'", "'let'", "a name".
std::string token_spelling(TokenKind kind);

} // namespace tovik
