// Statements. A statement whose mandatory token is missing is dropped
// without a message, keeping what it consumed; a missing closing brace is
// tolerated so a block cut short by the end of input still counts.
#include <string>
#include <utility>

#include "parser/parser_internal.h"
#include "support/halt.h"

namespace tovik {

namespace {

bool at_name(const Parser &p) { return p.check(TokenKind::Identifier); }

// Takes the name at `peek` into the statement; the caller has checked it is
// one.
void take_name(Parser &p, Stmt &s) {
  s.name = p.peek().text;
  s.symbol = intern(s.name);
  p.advance();
}

void skip_semicolon(Parser &p) {
  if (p.check(TokenKind::Semicolon)) p.advance();
}

void take_expression(Parser &p, Stmt &s) {
  s.expr = parse_expression(p);
  s.has_expr = true;
}

// braced -> "{" block "}"
// The "{" is mandatory and the "}" is not: false, with nothing consumed,
// when the "{" is missing.
bool parse_braced(Parser &p, std::vector<Stmt> &body) {
  const Token &opener = p.peek();
  if (!p.expect(TokenKind::LBrace)) return false;
  body = parse_block(p);
  p.close(TokenKind::RBrace, opener);
  return true;
}

// let -> "let" NAME "=" expression [";"]
bool parse_let(Parser &p, Stmt &s) {
  p.advance();
  if (!at_name(p)) return false;
  take_name(p, s);
  if (!p.expect(TokenKind::Assign)) return false;
  take_expression(p, s);
  skip_semicolon(p);
  return true;
}

// def -> "def" NAME "(" params ")" "{" block "}"
bool parse_def(Parser &p, Stmt &s) {
  p.advance();
  if (!at_name(p)) return false;
  take_name(p, s);
  if (!p.expect(TokenKind::LParen)) return false;
  s.params = parse_params(p);
  if (!p.expect(TokenKind::RParen)) return false;
  return parse_braced(p, s.body);
}

// return -> "return" [expression] [";"]
bool parse_return(Parser &p, Stmt &s) {
  p.advance();
  TokenKind next = p.peek().kind;
  if (next != TokenKind::RBrace && next != TokenKind::Semicolon && next != TokenKind::Eof)
    take_expression(p, s);
  skip_semicolon(p);
  return true;
}

// if -> "if" expression "{" block "}" [ "else" "{" block "}" ]
// There is no else-if: in `else if`, the `else` is consumed without a body
// and the `if` starts the next statement.
bool parse_if(Parser &p, Stmt &s) {
  p.advance();
  take_expression(p, s);
  if (!parse_braced(p, s.body)) return false;
  if (p.check(TokenKind::Else)) {
    p.advance();
    s.has_else = parse_braced(p, s.else_body);
  }
  return true;
}

// while -> "while" expression "{" block "}"
bool parse_while(Parser &p, Stmt &s) {
  p.advance();
  take_expression(p, s);
  return parse_braced(p, s.body);
}

// for -> "for" NAME "in" expression "{" block "}"
bool parse_for(Parser &p, Stmt &s) {
  p.advance();
  if (!at_name(p)) return false;
  take_name(p, s);
  if (!p.expect(TokenKind::In)) return false;
  take_expression(p, s);
  return parse_braced(p, s.body);
}

// break -> "break" [";"]    continue -> "continue" [";"]
bool parse_jump(Parser &p) {
  p.advance();
  skip_semicolon(p);
  return true;
}

// arm -> ( "_" | expression ) "=>" ( "{" block "}" | expression ) [";"]
// False when the arm has no "=>" and is dropped.
bool parse_arm(Parser &p, MatchArm &arm) {
  const Token &first = p.peek();
  if (first.kind == TokenKind::Identifier && first.text == "_") {
    arm.pattern.kind = PatternKind::Wildcard;
    p.advance();
  } else {
    arm.pattern.kind = PatternKind::Value;
    arm.pattern.value = parse_expression(p);
  }
  if (!p.expect(TokenKind::FatArrow)) return false;
  if (p.check(TokenKind::LBrace)) {
    parse_braced(p, arm.body);
  } else {
    take_expression(p, arm.body.emplace_back(StmtKind::Expr));
  }
  skip_semicolon(p);
  return true;
}

// match -> "match" expression "{" { arm } "}"
bool parse_match(Parser &p, Stmt &s) {
  p.advance();
  take_expression(p, s);
  const Token &opener = p.peek();
  if (!p.expect(TokenKind::LBrace)) return false;
  while (!p.check(TokenKind::RBrace) && !p.check(TokenKind::Eof)) {
    size_t before = p.pos;
    size_t mark = p.notes();
    const Token &start = p.peek();
    if (parse_arm(p, s.arms.emplace_back())) continue;
    s.arms.pop_back();
    // Neither a pattern nor "=>" here (a comma between arms, say): the
    // loop could not move past this token, so skip it.
    if (p.pos == before) {
      p.forget(mark);
      p.note(RecoveryKind::SkippedToken, start, start.kind);
      p.advance();
    } else {
      p.note(RecoveryKind::DroppedStatement, start, TokenKind::FatArrow);
    }
  }
  p.close(TokenKind::RBrace, opener);
  return true;
}

// try -> "try" "{" block "}" "catch" NAME "{" block "}"
bool parse_try(Parser &p, Stmt &s) {
  p.advance();
  if (!parse_braced(p, s.body)) return false;
  if (!p.expect(TokenKind::Catch)) return false;
  if (!at_name(p)) return false;
  take_name(p, s);
  return parse_braced(p, s.else_body);
}

// global -> "global" NAME [";"]
bool parse_global(Parser &p, Stmt &s) {
  p.advance();
  if (!at_name(p)) return false;
  take_name(p, s);
  skip_semicolon(p);
  return true;
}

// use -> "use" NAME ( ";" | "as" [NAME] [";"] | "{" { NAME [","] } "}" [";"] | )
bool parse_use(Parser &p, Stmt &s) {
  p.advance();
  if (!at_name(p)) return false;
  s.name = p.peek().text;
  p.advance();
  switch (p.peek().kind) {
  case TokenKind::Semicolon:
    p.advance();
    break;
  case TokenKind::As:
    p.advance();
    if (at_name(p)) {
      s.alias = p.peek().text;
      p.advance();
    }
    skip_semicolon(p);
    break;
  case TokenKind::LBrace: {
    const Token &opener = p.peek();
    p.advance();
    s.items.emplace();
    while (!p.check(TokenKind::RBrace) && !p.check(TokenKind::Eof)) {
      if (!at_name(p)) {
        // Only names can be imported; skip anything else.
        p.note(RecoveryKind::SkippedToken, p.peek(), p.peek().kind);
        p.advance();
        continue;
      }
      s.items->push_back(p.peek().text);
      p.advance();
      if (p.check(TokenKind::Comma)) p.advance();
    }
    p.close(TokenKind::RBrace, opener);
    skip_semicolon(p);
    break;
  }
  default:
    break;
  }
  return true;
}

bool is_compound_assign(TokenKind kind) {
  return kind == TokenKind::PlusAssign || kind == TokenKind::MinusAssign ||
         kind == TokenKind::StarAssign || kind == TokenKind::SlashAssign;
}

// assign -> NAME "=" expression [";"]
// compound_assign -> NAME ("+=" | "-=" | "*=" | "/=") expression [";"]
// expression_stmt -> expression [";"]
// Assignment targets are bare names; `a[0] = 1` is an expression statement
// that stops before the "=".
bool parse_simple(Parser &p, Stmt &s) {
  TokenKind after = p.peek_next().kind;
  if (at_name(p) && (after == TokenKind::Assign || is_compound_assign(after))) {
    s.kind = after == TokenKind::Assign ? StmtKind::Assign : StmtKind::CompoundAssign;
    take_name(p, s);
    if (s.kind == StmtKind::CompoundAssign) s.op = p.peek();
    p.advance();
  } else {
    s.kind = StmtKind::Expr;
  }
  take_expression(p, s);
  skip_semicolon(p);
  return true;
}

} // namespace

// statement -> let | def | return | if | while | for | break | continue
//            | match | try | global | use | assign | compound_assign
//            | expression_stmt
bool parse_statement(Parser &p, Stmt &s) {
  check_stack();
  s.line = p.peek().line;
  s.column = p.peek().column;
  switch (p.peek().kind) {
  case TokenKind::Let: s.kind = StmtKind::Let; return parse_let(p, s);
  case TokenKind::Def: s.kind = StmtKind::Function; return parse_def(p, s);
  case TokenKind::Return: s.kind = StmtKind::Return; return parse_return(p, s);
  case TokenKind::If: s.kind = StmtKind::If; return parse_if(p, s);
  case TokenKind::While: s.kind = StmtKind::While; return parse_while(p, s);
  case TokenKind::For: s.kind = StmtKind::For; return parse_for(p, s);
  case TokenKind::Break: s.kind = StmtKind::Break; return parse_jump(p);
  case TokenKind::Continue: s.kind = StmtKind::Continue; return parse_jump(p);
  case TokenKind::Match: s.kind = StmtKind::Match; return parse_match(p, s);
  case TokenKind::Try: s.kind = StmtKind::Try; return parse_try(p, s);
  case TokenKind::Global: s.kind = StmtKind::Global; return parse_global(p, s);
  case TokenKind::Use: s.kind = StmtKind::Use; return parse_use(p, s);
  default: return parse_simple(p, s);
  }
}

void parse_statement_into(Parser &p, std::vector<Stmt> &out) {
  size_t before = p.pos;
  size_t mark = p.notes();
  const Token &start = p.peek();
  // Built in place: a nested body fills its own list, never `out`, so the
  // reference stays valid, and no frame holds a whole statement while the
  // parser recurses.
  bool complete = parse_statement(p, out.emplace_back());
  if (p.pos == before) {
    out.pop_back();
    p.forget(mark);
    p.note(RecoveryKind::SkippedToken, start, start.kind);
    p.advance();
  } else if (!complete) {
    out.pop_back();
    p.note(RecoveryKind::DroppedStatement, start, start.kind);
  }
}

// block -> { statement }, up to "}" or EOF; the caller consumes the "}"
std::vector<Stmt> parse_block(Parser &p) {
  std::vector<Stmt> body;
  while (!p.check(TokenKind::RBrace) && !p.check(TokenKind::Eof))
    parse_statement_into(p, body);
  return body;
}

// params -> { NAME [","] }
std::vector<std::string> parse_params(Parser &p) {
  std::vector<std::string> params;
  while (at_name(p)) {
    params.push_back(p.peek().text);
    p.advance();
    if (p.check(TokenKind::Comma)) p.advance();
  }
  return params;
}

} // namespace tovik
