// The recursive-descent parser. It never fails: malformed statements are
// dropped and a missing operand becomes the integer 0.
#pragma once

#include <cstddef>
#include <vector>

#include "lexer/token.h"
#include "parser/ast.h"

namespace tovik {

// The statements of a whole program; `tokens` ends with EOF.
std::vector<Stmt> parse_program(const std::vector<Token> &tokens);

} // namespace tovik
