// The parser's cursor and its parse functions, shared by the expression and
// statement halves of the parser.
#pragma once

#include <cstddef>
#include <vector>

#include "lexer/token.h"
#include "parser/ast.h"
#include "parser/parser.h"

namespace tovik {

// A read position over a borrowed token list. Reading past the end yields
// EOF, so no rule needs a bounds check of its own.
struct Parser {
  const std::vector<Token> *tokens = nullptr;
  size_t pos = 0;
  // Where the parser recovered, when the caller asked; recording never
  // changes what is parsed.
  std::vector<Recovery> *recoveries = nullptr;

  void note(RecoveryKind kind, const Token &at, TokenKind token) {
    if (recoveries) recoveries->push_back({kind, at.line, at.column, token});
  }
  size_t notes() const { return recoveries ? recoveries->size() : 0; }
  // Forgets notes made since `mark`, for a parse that was undone.
  void forget(size_t mark) {
    if (recoveries) recoveries->resize(mark);
  }

  const Token &peek() const { return at(pos); }
  // The token after `peek`: the one extra token of lookahead the grammar
  // needs (after a leading name, after a dot).
  const Token &peek_next() const { return at(pos + 1); }
  bool check(TokenKind kind) const { return peek().kind == kind; }
  void advance() { ++pos; }
  // Consumes the token if it is of `kind`. The parser only ever expects
  // kinds without a payload, for which kind equality is token equality.
  bool expect(TokenKind kind);
  // Consumes the closing `kind` of the bracket `opener`; when it is not
  // there, notes the opener as left unclosed.
  void close(TokenKind kind, const Token &opener) {
    if (!expect(kind)) note(RecoveryKind::Unclosed, opener, opener.kind);
  }

private:
  const Token &at(size_t index) const {
    return index < tokens->size() ? (*tokens)[index] : end_of_input;
  }
  static const Token end_of_input;
};

Expr parse_expression(Parser &p);
Expr parse_and(Parser &p);
Expr parse_equality(Parser &p);
Expr parse_comparison(Parser &p);
Expr parse_range(Parser &p);
Expr parse_additive(Parser &p);
Expr parse_multiplicative(Parser &p);
Expr parse_power(Parser &p);
Expr parse_unary(Parser &p);
Expr parse_primary(Parser &p);
std::vector<Expr> parse_expression_list(Parser &p);

// Reads one statement into `s`, a fresh statement. False means no
// statement: a mandatory token was missing. Tokens read on the way stay
// consumed either way.
bool parse_statement(Parser &p, Stmt &s);
// Appends the next statement to `out` when there is one. A statement that
// consumed nothing sits at a token that begins neither a statement nor an
// expression: that token is skipped instead, so every call advances and the
// list never outgrows the token list.
void parse_statement_into(Parser &p, std::vector<Stmt> &out);
std::vector<Stmt> parse_block(Parser &p);
std::vector<std::string> parse_params(Parser &p);

} // namespace tovik
