// Statements. A statement whose mandatory token is missing is dropped
// without a message, keeping what it consumed; a missing closing brace is
// tolerated so a block cut short by the end of input still counts.
#include <string>
#include <utility>

#include "interpreter/halt.h"
#include "parser/parser_internal.h"

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

// "{" block "}" after a construct's head; the "{" is mandatory, the "}" is
// not. False, with nothing consumed, when the "{" is missing.
bool parse_braced(Parser &p, std::vector<Stmt> &body) {
  if (!p.expect(TokenKind::LBrace)) return false;
  body = parse_block(p);
  p.expect(TokenKind::RBrace);
  return true;
}

// let -> "let" NAME "=" expression [";"]
std::optional<Stmt> parse_let(Parser &p) {
  p.advance();
  if (!at_name(p)) return std::nullopt;
  Stmt s(StmtKind::Let);
  take_name(p, s);
  if (!p.expect(TokenKind::Assign)) return std::nullopt;
  take_expression(p, s);
  skip_semicolon(p);
  return s;
}

// def -> "def" NAME "(" params ")" "{" block "}"
std::optional<Stmt> parse_def(Parser &p) {
  p.advance();
  if (!at_name(p)) return std::nullopt;
  Stmt s(StmtKind::Function);
  take_name(p, s);
  if (!p.expect(TokenKind::LParen)) return std::nullopt;
  s.params = parse_params(p);
  if (!p.expect(TokenKind::RParen)) return std::nullopt;
  if (!parse_braced(p, s.body)) return std::nullopt;
  return s;
}

// return -> "return" [expression] [";"]
Stmt parse_return(Parser &p) {
  p.advance();
  Stmt s(StmtKind::Return);
  TokenKind next = p.peek().kind;
  if (next != TokenKind::RBrace && next != TokenKind::Semicolon && next != TokenKind::Eof)
    take_expression(p, s);
  skip_semicolon(p);
  return s;
}

// if -> "if" expression "{" block "}" [ "else" "{" block "}" ]
// There is no else-if: in `else if`, the `else` is consumed without a body
// and the `if` starts the next statement.
std::optional<Stmt> parse_if(Parser &p) {
  p.advance();
  Stmt s(StmtKind::If);
  take_expression(p, s);
  if (!parse_braced(p, s.body)) return std::nullopt;
  if (p.check(TokenKind::Else)) {
    p.advance();
    s.has_else = parse_braced(p, s.else_body);
  }
  return s;
}

// while -> "while" expression "{" block "}"
std::optional<Stmt> parse_while(Parser &p) {
  p.advance();
  Stmt s(StmtKind::While);
  take_expression(p, s);
  if (!parse_braced(p, s.body)) return std::nullopt;
  return s;
}

// for -> "for" NAME "in" expression "{" block "}"
std::optional<Stmt> parse_for(Parser &p) {
  p.advance();
  if (!at_name(p)) return std::nullopt;
  Stmt s(StmtKind::For);
  take_name(p, s);
  if (!p.expect(TokenKind::In)) return std::nullopt;
  take_expression(p, s);
  if (!parse_braced(p, s.body)) return std::nullopt;
  return s;
}

// break -> "break" [";"]    continue -> "continue" [";"]
Stmt parse_jump(Parser &p, StmtKind kind) {
  p.advance();
  skip_semicolon(p);
  return Stmt(kind);
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
    Stmt body(StmtKind::Expr);
    take_expression(p, body);
    arm.body.push_back(std::move(body));
  }
  skip_semicolon(p);
  return true;
}

// match -> "match" expression "{" { arm } "}"
std::optional<Stmt> parse_match(Parser &p) {
  p.advance();
  Stmt s(StmtKind::Match);
  take_expression(p, s);
  if (!p.expect(TokenKind::LBrace)) return std::nullopt;
  while (!p.check(TokenKind::RBrace) && !p.check(TokenKind::Eof)) {
    size_t before = p.pos;
    MatchArm arm;
    if (parse_arm(p, arm)) {
      s.arms.push_back(std::move(arm));
    } else if (p.pos == before) {
      // Neither a pattern nor "=>" here (a comma between arms, say): the
      // loop could not move past this token, so skip it.
      p.advance();
    }
  }
  p.expect(TokenKind::RBrace);
  return s;
}

// try -> "try" "{" block "}" "catch" NAME "{" block "}"
std::optional<Stmt> parse_try(Parser &p) {
  p.advance();
  Stmt s(StmtKind::Try);
  if (!parse_braced(p, s.body)) return std::nullopt;
  if (!p.expect(TokenKind::Catch)) return std::nullopt;
  if (!at_name(p)) return std::nullopt;
  take_name(p, s);
  if (!parse_braced(p, s.else_body)) return std::nullopt;
  return s;
}

// global -> "global" NAME [";"]
std::optional<Stmt> parse_global(Parser &p) {
  p.advance();
  if (!at_name(p)) return std::nullopt;
  Stmt s(StmtKind::Global);
  take_name(p, s);
  skip_semicolon(p);
  return s;
}

// use -> "use" NAME ( ";" | "as" [NAME] [";"] | "{" { NAME [","] } "}" [";"] | )
std::optional<Stmt> parse_use(Parser &p) {
  p.advance();
  if (!at_name(p)) return std::nullopt;
  Stmt s(StmtKind::Use);
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
  case TokenKind::LBrace:
    p.advance();
    s.items.emplace();
    while (!p.check(TokenKind::RBrace) && !p.check(TokenKind::Eof)) {
      if (!at_name(p)) {
        p.advance(); // only names can be imported; skip anything else
        continue;
      }
      s.items->push_back(p.peek().text);
      p.advance();
      if (p.check(TokenKind::Comma)) p.advance();
    }
    p.expect(TokenKind::RBrace);
    skip_semicolon(p);
    break;
  default:
    break;
  }
  return s;
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
Stmt parse_simple(Parser &p) {
  TokenKind after = p.peek_next().kind;
  if (at_name(p) && (after == TokenKind::Assign || is_compound_assign(after))) {
    Stmt s(after == TokenKind::Assign ? StmtKind::Assign : StmtKind::CompoundAssign);
    take_name(p, s);
    if (s.kind == StmtKind::CompoundAssign) s.op = p.peek();
    p.advance();
    take_expression(p, s);
    skip_semicolon(p);
    return s;
  }
  Stmt s(StmtKind::Expr);
  take_expression(p, s);
  skip_semicolon(p);
  return s;
}

} // namespace

// statement -> let | def | return | if | while | for | break | continue
//            | match | try | global | use | assign | compound_assign
//            | expression_stmt
std::optional<Stmt> parse_statement(Parser &p) {
  check_stack();
  switch (p.peek().kind) {
  case TokenKind::Let: return parse_let(p);
  case TokenKind::Def: return parse_def(p);
  case TokenKind::Return: return parse_return(p);
  case TokenKind::If: return parse_if(p);
  case TokenKind::While: return parse_while(p);
  case TokenKind::For: return parse_for(p);
  case TokenKind::Break: return parse_jump(p, StmtKind::Break);
  case TokenKind::Continue: return parse_jump(p, StmtKind::Continue);
  case TokenKind::Match: return parse_match(p);
  case TokenKind::Try: return parse_try(p);
  case TokenKind::Global: return parse_global(p);
  case TokenKind::Use: return parse_use(p);
  default: return parse_simple(p);
  }
}

void parse_statement_into(Parser &p, std::vector<Stmt> &out) {
  size_t before = p.pos;
  std::optional<Stmt> s = parse_statement(p);
  if (p.pos == before) {
    p.advance();
    return;
  }
  if (s) out.push_back(std::move(*s));
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
