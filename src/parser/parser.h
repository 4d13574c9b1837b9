// The recursive-descent parser. It never fails: malformed statements are
// dropped and a missing operand becomes the integer 0.
#pragma once

#include <cstddef>
#include <vector>

#include "lexer/token.h"
#include "parser/ast.h"

namespace tovik {

// A place where the parser repaired its input. `token` is the token skipped
// or found instead of an operand, the opener left unclosed, or the keyword
// of the dropped statement.
enum class RecoveryKind : uint8_t {
  SkippedToken,     // a token that begins nothing here was passed over
  MissingOperand,   // no operand here: read as the integer 0
  Unclosed,         // a bracket or brace never closed (at the opener)
  DroppedStatement, // a statement missing a mandatory token (at its start)
};

struct Recovery {
  RecoveryKind kind;
  uint32_t line;
  uint32_t column;
  TokenKind token;
};

// The statements of a whole program; `tokens` ends with EOF. With
// `recoveries`, every repair is also recorded there, in source order of
// discovery; the tree is the same either way.
std::vector<Stmt> parse_program(const std::vector<Token> &tokens,
                                std::vector<Recovery> *recoveries = nullptr);

} // namespace tovik
