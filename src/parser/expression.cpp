// Expressions: one function per precedence level, loosest first. Every
// binary level is left-associative, `**` included.
//
// Nothing here rejects input: an operand that cannot start becomes
// Number(0) without consuming anything, so `* 2` reads as `0 * 2`, and a
// missing closing bracket is simply not consumed.
#include <memory>
#include <string>
#include <utility>

#include "parser/parser_internal.h"
#include "support/halt.h"

namespace tovik {

namespace {

// Stack economy: the deepest inputs nest through these functions once per
// level, so no frame keeps a whole Expr alive across a recursive call.
// Operands are parsed straight into their heap node (`new Expr(f(p))`
// constructs the result in place), and nodes are rebuilt through
// references in helpers that are off the stack by the time the parser
// recurses again.

std::unique_ptr<Expr> parse_boxed(Parser &p, Expr (*parse)(Parser &)) {
  return std::unique_ptr<Expr>(new Expr(parse(p)));
}

std::unique_ptr<Expr> boxed(Expr &&e) { return std::unique_ptr<Expr>(new Expr(std::move(e))); }

// Turns `node` into a fresh node of `kind` over the two children.
// The new node starts where its left child does.
[[gnu::noinline]] void rebuild(Expr &node, ExprKind kind, std::unique_ptr<Expr> left,
                               std::unique_ptr<Expr> right) {
  node = Expr(kind);
  node.line = left->line;
  node.column = left->column;
  node.left = std::move(left);
  node.right = std::move(right);
}

// Reads the operator at `peek` and the right operand after it, and makes
// `left` the binary node of the three.
[[gnu::noinline]] void join_binary(Parser &p, Expr &left, Expr (*operand)(Parser &)) {
  Token op = p.peek();
  p.advance();
  std::unique_ptr<Expr> right = parse_boxed(p, operand);
  rebuild(left, ExprKind::BinaryOp, boxed(std::move(left)), std::move(right));
  left.op = std::move(op);
}

Expr named(ExprKind kind, std::string name) {
  Expr e(kind);
  e.symbol = intern(name);
  e.text = std::move(name);
  return e;
}

// The callee of a call is never an expression: the call carries a name.
// Member calls on a plain name become dotted names (module functions,
// "sdl2."), member calls on anything else become methods with the object
// as first argument, and any other callee is handed to "call".
[[gnu::noinline]] void make_call(Expr &callee, std::vector<Expr> args) {
  std::string name;
  std::unique_ptr<Expr> receiver;
  uint32_t line = callee.line, column = callee.column;
  if (callee.kind == ExprKind::Identifier) {
    name = std::move(callee.text);
  } else if (callee.kind == ExprKind::Index && callee.right->kind == ExprKind::String) {
    if (callee.left->kind == ExprKind::Identifier) {
      name = callee.left->text + "." + callee.right->text;
    } else {
      name = std::move(callee.right->text);
      receiver = std::move(callee.left);
    }
  } else {
    name = "call";
    receiver = boxed(std::move(callee));
  }
  callee = named(ExprKind::Call, std::move(name));
  callee.line = line;
  callee.column = column;
  callee.items.reserve(args.size() + (receiver ? 1 : 0));
  if (receiver) callee.items.push_back(std::move(*receiver));
  for (Expr &arg : args) callee.items.push_back(std::move(arg));
}

// postfix -> "(" expression_list ")" | "[" expression "]" | "." NAME
// Applies one postfix form to `current`; false when `peek` starts none.
[[gnu::noinline]] bool apply_postfix(Parser &p, Expr &current) {
  switch (p.peek().kind) {
  case TokenKind::LParen: {
    const Token &opener = p.peek();
    p.advance();
    std::vector<Expr> args = parse_expression_list(p);
    p.close(TokenKind::RParen, opener);
    make_call(current, std::move(args));
    return true;
  }
  case TokenKind::LBracket: {
    const Token &opener = p.peek();
    p.advance();
    std::unique_ptr<Expr> index = parse_boxed(p, parse_expression);
    p.close(TokenKind::RBracket, opener);
    rebuild(current, ExprKind::Index, boxed(std::move(current)), std::move(index));
    return true;
  }
  case TokenKind::Dot: {
    // Only `.name` is member access; a dot before anything else (the
    // second dot of `..` above all) belongs to the caller.
    if (p.peek_next().kind != TokenKind::Identifier) return false;
    p.advance();
    auto member = std::make_unique<Expr>(ExprKind::String);
    member->text = p.peek().text;
    p.advance();
    rebuild(current, ExprKind::Index, boxed(std::move(current)), std::move(member));
    return true;
  }
  default:
    return false;
  }
}

// dict -> "{" { NAME ":" expression [","] } "}"
Expr parse_dict(Parser &p) {
  Expr dict(ExprKind::Dict);
  const Token &opener = p.peek();
  p.advance();
  for (;;) {
    TokenKind kind = p.peek().kind;
    if (kind == TokenKind::RBrace || kind == TokenKind::Eof) break;
    if (kind != TokenKind::Identifier) {
      // Keys are bare names; a quoted or numeric key, or a statement
      // written inside braces, cannot start an entry. Skip it.
      p.note(RecoveryKind::SkippedToken, p.peek(), kind);
      p.advance();
      continue;
    }
    const Token &name = p.peek();
    std::string key = name.text;
    p.advance();
    if (!p.expect(TokenKind::Colon)) { // a name alone is dropped
      p.note(RecoveryKind::SkippedToken, name, TokenKind::Identifier);
      continue;
    }
    std::unique_ptr<Expr> value = parse_boxed(p, parse_expression);
    dict.entries.emplace_back(std::move(key), std::move(*value));
    if (p.check(TokenKind::Comma)) p.advance();
  }
  p.close(TokenKind::RBrace, opener);
  return dict;
}

// group -> "(" expression ")"
// Parentheses make no node of their own.
Expr parse_group(Parser &p) {
  const Token &opener = p.peek();
  p.advance();
  Expr inner = parse_expression(p);
  p.close(TokenKind::RParen, opener);
  return inner;
}

// array -> "[" expression_list "]"
Expr parse_array(Parser &p) {
  Expr array(ExprKind::Array);
  const Token &opener = p.peek();
  p.advance();
  array.items = parse_expression_list(p);
  p.close(TokenKind::RBracket, opener);
  return array;
}

// literal -> "true" | "false" | NUMBER | FLOAT | STRING | NAME
Expr parse_literal(Parser &p) {
  const Token &token = p.peek();
  Expr e;
  switch (token.kind) {
  case TokenKind::True:
  case TokenKind::False:
    e.kind = ExprKind::Boolean;
    e.boolean = token.kind == TokenKind::True;
    break;
  case TokenKind::Number:
    e.kind = ExprKind::Number;
    e.number = token.number;
    break;
  case TokenKind::Float:
    e.kind = ExprKind::Float;
    e.real = token.real;
    break;
  case TokenKind::String:
    e.kind = ExprKind::String;
    e.text = token.text;
    break;
  default:
    e.kind = ExprKind::Identifier;
    e.text = token.text;
    e.symbol = intern(e.text);
    break;
  }
  p.advance();
  return e;
}

// operand -> literal | group | array | dict
Expr parse_operand_at(Parser &p) {
  switch (p.peek().kind) {
  case TokenKind::True:
  case TokenKind::False:
  case TokenKind::Number:
  case TokenKind::Float:
  case TokenKind::String:
  case TokenKind::Identifier:
    return parse_literal(p);
  case TokenKind::LParen:
    return parse_group(p);
  case TokenKind::LBracket:
    return parse_array(p);
  case TokenKind::LBrace:
    return parse_dict(p);
  default:
    // Deliberate: a missing operand is the integer 0, so the parser never
    // has to reject input.
    p.note(RecoveryKind::MissingOperand, p.peek(), p.peek().kind);
    return Expr(ExprKind::Number);
  }
}

// An operand starts at its first token, a group's "(" included.
Expr parse_operand(Parser &p) {
  uint32_t line = p.peek().line, column = p.peek().column;
  Expr e = parse_operand_at(p);
  e.line = line;
  e.column = column;
  return e;
}

bool is_comparison(TokenKind kind) {
  return kind == TokenKind::Less || kind == TokenKind::Greater ||
         kind == TokenKind::LessEqual || kind == TokenKind::GreaterEqual;
}

} // namespace

// expression -> and { "or" and }
Expr parse_expression(Parser &p) {
  check_stack();
  Expr left = parse_and(p);
  while (p.check(TokenKind::Or)) join_binary(p, left, parse_and);
  return left;
}

// and -> equality { "and" equality }
Expr parse_and(Parser &p) {
  Expr left = parse_equality(p);
  while (p.check(TokenKind::And)) join_binary(p, left, parse_equality);
  return left;
}

// equality -> comparison { ("==" | "!=") comparison }
Expr parse_equality(Parser &p) {
  Expr left = parse_comparison(p);
  while (p.check(TokenKind::Equal) || p.check(TokenKind::NotEqual))
    join_binary(p, left, parse_comparison);
  return left;
}

// comparison -> range { ("<" | ">" | "<=" | ">=") range }
Expr parse_comparison(Parser &p) {
  Expr left = parse_range(p);
  while (is_comparison(p.peek().kind)) join_binary(p, left, parse_range);
  return left;
}

// range -> additive [ "." "." additive ]
// One range at most: in `1..2..3` the second `..` is left to the caller.
Expr parse_range(Parser &p) {
  Expr start = parse_additive(p);
  if (p.check(TokenKind::Dot) && p.peek_next().kind == TokenKind::Dot) {
    p.advance();
    p.advance();
    std::unique_ptr<Expr> end = parse_boxed(p, parse_additive);
    rebuild(start, ExprKind::Range, boxed(std::move(start)), std::move(end));
  }
  return start;
}

// additive -> multiplicative { ("+" | "-") multiplicative }
Expr parse_additive(Parser &p) {
  Expr left = parse_multiplicative(p);
  while (p.check(TokenKind::Plus) || p.check(TokenKind::Minus))
    join_binary(p, left, parse_multiplicative);
  return left;
}

// multiplicative -> power { ("*" | "/" | "%") power }
Expr parse_multiplicative(Parser &p) {
  Expr left = parse_power(p);
  while (p.check(TokenKind::Star) || p.check(TokenKind::Slash) || p.check(TokenKind::Percent))
    join_binary(p, left, parse_power);
  return left;
}

// power -> unary { "**" unary }
// Left-associative on purpose: 2 ** 3 ** 2 is (2 ** 3) ** 2.
Expr parse_power(Parser &p) {
  Expr left = parse_unary(p);
  while (p.check(TokenKind::Power)) join_binary(p, left, parse_unary);
  return left;
}

namespace {

// prefixed -> ("not" | "-") unary
Expr parse_prefixed(Parser &p) {
  Expr e(ExprKind::UnaryOp);
  e.op = p.peek();
  e.line = e.op.line;
  e.column = e.op.column;
  p.advance();
  e.left = parse_boxed(p, parse_unary);
  return e;
}

} // namespace

// unary -> prefixed | primary
// Prefixes bind tighter than `**`: -2 ** 2 is (-2) ** 2.
Expr parse_unary(Parser &p) {
  check_stack();
  if (p.check(TokenKind::Not) || p.check(TokenKind::Minus)) return parse_prefixed(p);
  return parse_primary(p);
}

// primary -> operand { "(" expression_list ")" | "[" expression "]" | "." NAME }
Expr parse_primary(Parser &p) {
  check_stack();
  Expr current = parse_operand(p);
  while (apply_postfix(p, current)) {
  }
  return current;
}

// expression_list -> { expression [","] }, up to ")", "}", "]" or EOF
std::vector<Expr> parse_expression_list(Parser &p) {
  std::vector<Expr> items;
  for (;;) {
    switch (p.peek().kind) {
    case TokenKind::RParen:
    case TokenKind::RBrace:
    case TokenKind::RBracket:
    case TokenKind::Eof:
      return items;
    default:
      break;
    }
    size_t before = p.pos;
    size_t mark = p.notes();
    std::unique_ptr<Expr> item = parse_boxed(p, parse_expression);
    if (p.pos == before && !p.check(TokenKind::Comma)) {
      // A token that begins no expression, such as the `;` in `f(1;)`:
      // the list could not move past it, so skip it.
      p.forget(mark);
      p.note(RecoveryKind::SkippedToken, p.peek(), p.peek().kind);
      p.advance();
      continue;
    }
    items.push_back(std::move(*item));
    if (p.check(TokenKind::Comma)) p.advance();
  }
}

} // namespace tovik
