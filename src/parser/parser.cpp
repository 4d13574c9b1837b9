#include "parser/parser.h"

#include "parser/parser_internal.h"

namespace tovik {

const Token Parser::end_of_input(TokenKind::Eof);

bool Parser::expect(TokenKind kind) {
  if (peek().kind != kind) return false;
  advance();
  return true;
}

// program -> { statement } EOF
std::vector<Stmt> parse_program(const std::vector<Token> &tokens,
                                std::vector<Recovery> *recoveries) {
  Parser p;
  p.tokens = &tokens;
  p.recoveries = recoveries;
  std::vector<Stmt> program;
  while (!p.check(TokenKind::Eof)) parse_statement_into(p, program);
  return program;
}

} // namespace tovik
