// Expressions: one function per precedence level, loosest first. Every
// binary level is left-associative, `**` included.
//
// Nothing here rejects input: an operand that cannot start becomes
// Number(0) without consuming anything, so `* 2` reads as `0 * 2`, and a
// missing closing bracket is simply not consumed.
#include <memory>
#include <string>
#include <utility>

#include "interpreter/halt.h"
#include "parser/parser_internal.h"

namespace tovik {

namespace {

Expr boxed_pair(ExprKind kind, Expr left, Expr right) {
  Expr e(kind);
  e.left = std::make_unique<Expr>(std::move(left));
  e.right = std::make_unique<Expr>(std::move(right));
  return e;
}

// Reads the operator at `peek` and the right operand after it, and joins
// them to `left`.
Expr binary_tail(Parser &p, Expr left, Expr (*operand)(Parser &)) {
  Token op = p.peek();
  p.advance();
  Expr right = operand(p);
  Expr e = boxed_pair(ExprKind::BinaryOp, std::move(left), std::move(right));
  e.op = std::move(op);
  return e;
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
Expr make_call(Expr callee, std::vector<Expr> args) {
  std::string name;
  Expr receiver;
  bool has_receiver = false;
  if (callee.kind == ExprKind::Identifier) {
    name = std::move(callee.text);
  } else if (callee.kind == ExprKind::Index && callee.right->kind == ExprKind::String) {
    if (callee.left->kind == ExprKind::Identifier) {
      name = callee.left->text + "." + callee.right->text;
    } else {
      name = std::move(callee.right->text);
      receiver = std::move(*callee.left);
      has_receiver = true;
    }
  } else {
    name = "call";
    receiver = std::move(callee);
    has_receiver = true;
  }
  Expr call = named(ExprKind::Call, std::move(name));
  call.items.reserve(args.size() + (has_receiver ? 1 : 0));
  if (has_receiver) call.items.push_back(std::move(receiver));
  for (Expr &arg : args) call.items.push_back(std::move(arg));
  return call;
}

// dict -> "{" { NAME ":" expression [","] } "}"
Expr parse_dict(Parser &p) {
  p.advance();
  Expr dict(ExprKind::Dict);
  for (;;) {
    TokenKind kind = p.peek().kind;
    if (kind == TokenKind::RBrace || kind == TokenKind::Eof) break;
    if (kind != TokenKind::Identifier) {
      // Keys are bare names; a quoted or numeric key, or a statement
      // written inside braces, cannot start an entry. Skip it.
      p.advance();
      continue;
    }
    std::string key = p.peek().text;
    p.advance();
    if (!p.expect(TokenKind::Colon)) continue; // a name alone is dropped
    Expr value = parse_expression(p);
    dict.entries.emplace_back(std::move(key), std::move(value));
    if (p.check(TokenKind::Comma)) p.advance();
  }
  p.expect(TokenKind::RBrace);
  return dict;
}

// operand -> "true" | "false" | NUMBER | FLOAT | STRING | NAME
//          | "(" expression ")" | "[" expression_list "]" | dict
Expr parse_operand(Parser &p) {
  const Token &token = p.peek();
  switch (token.kind) {
  case TokenKind::True:
  case TokenKind::False: {
    Expr e(ExprKind::Boolean);
    e.boolean = token.kind == TokenKind::True;
    p.advance();
    return e;
  }
  case TokenKind::Number: {
    Expr e(ExprKind::Number);
    e.number = token.number;
    p.advance();
    return e;
  }
  case TokenKind::Float: {
    Expr e(ExprKind::Float);
    e.real = token.real;
    p.advance();
    return e;
  }
  case TokenKind::String: {
    Expr e(ExprKind::String);
    e.text = token.text;
    p.advance();
    return e;
  }
  case TokenKind::Identifier: {
    Expr e = named(ExprKind::Identifier, token.text);
    p.advance();
    return e;
  }
  case TokenKind::LParen: {
    p.advance();
    Expr inner = parse_expression(p);
    p.expect(TokenKind::RParen);
    return inner;
  }
  case TokenKind::LBracket: {
    p.advance();
    Expr array(ExprKind::Array);
    array.items = parse_expression_list(p);
    p.expect(TokenKind::RBracket);
    return array;
  }
  case TokenKind::LBrace:
    return parse_dict(p);
  default:
    // Deliberate: a missing operand is the integer 0, so the parser never
    // has to reject input.
    return Expr(ExprKind::Number);
  }
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
  while (p.check(TokenKind::Or)) left = binary_tail(p, std::move(left), parse_and);
  return left;
}

// and -> equality { "and" equality }
Expr parse_and(Parser &p) {
  Expr left = parse_equality(p);
  while (p.check(TokenKind::And))
    left = binary_tail(p, std::move(left), parse_equality);
  return left;
}

// equality -> comparison { ("==" | "!=") comparison }
Expr parse_equality(Parser &p) {
  Expr left = parse_comparison(p);
  while (p.check(TokenKind::Equal) || p.check(TokenKind::NotEqual))
    left = binary_tail(p, std::move(left), parse_comparison);
  return left;
}

// comparison -> range { ("<" | ">" | "<=" | ">=") range }
Expr parse_comparison(Parser &p) {
  Expr left = parse_range(p);
  while (is_comparison(p.peek().kind))
    left = binary_tail(p, std::move(left), parse_range);
  return left;
}

// range -> additive [ "." "." additive ]
// One range at most: in `1..2..3` the second `..` is left to the caller.
Expr parse_range(Parser &p) {
  Expr start = parse_additive(p);
  if (!p.check(TokenKind::Dot) || p.peek_next().kind != TokenKind::Dot) return start;
  p.advance();
  p.advance();
  Expr end = parse_additive(p);
  return boxed_pair(ExprKind::Range, std::move(start), std::move(end));
}

// additive -> multiplicative { ("+" | "-") multiplicative }
Expr parse_additive(Parser &p) {
  Expr left = parse_multiplicative(p);
  while (p.check(TokenKind::Plus) || p.check(TokenKind::Minus))
    left = binary_tail(p, std::move(left), parse_multiplicative);
  return left;
}

// multiplicative -> power { ("*" | "/" | "%") power }
Expr parse_multiplicative(Parser &p) {
  Expr left = parse_power(p);
  while (p.check(TokenKind::Star) || p.check(TokenKind::Slash) ||
         p.check(TokenKind::Percent))
    left = binary_tail(p, std::move(left), parse_power);
  return left;
}

// power -> unary { "**" unary }
// Left-associative on purpose: 2 ** 3 ** 2 is (2 ** 3) ** 2.
Expr parse_power(Parser &p) {
  Expr left = parse_unary(p);
  while (p.check(TokenKind::Power)) left = binary_tail(p, std::move(left), parse_unary);
  return left;
}

// unary -> ("not" | "-") unary | primary
// Binds tighter than `**`: -2 ** 2 is (-2) ** 2.
Expr parse_unary(Parser &p) {
  check_stack();
  if (!p.check(TokenKind::Not) && !p.check(TokenKind::Minus)) return parse_primary(p);
  Expr e(ExprKind::UnaryOp);
  e.op = p.peek();
  p.advance();
  e.left = std::make_unique<Expr>(parse_unary(p));
  return e;
}

// primary -> operand { "(" expression_list ")" | "[" expression "]" | "." NAME }
Expr parse_primary(Parser &p) {
  check_stack();
  Expr current = parse_operand(p);
  for (;;) {
    switch (p.peek().kind) {
    case TokenKind::LParen: {
      p.advance();
      std::vector<Expr> args = parse_expression_list(p);
      p.expect(TokenKind::RParen);
      current = make_call(std::move(current), std::move(args));
      break;
    }
    case TokenKind::LBracket: {
      p.advance();
      Expr index = parse_expression(p);
      p.expect(TokenKind::RBracket);
      current = boxed_pair(ExprKind::Index, std::move(current), std::move(index));
      break;
    }
    case TokenKind::Dot: {
      // Only `.name` is member access; a dot before anything else (the
      // second dot of `..` above all) belongs to the caller.
      if (p.peek_next().kind != TokenKind::Identifier) return current;
      p.advance();
      Expr member(ExprKind::String);
      member.text = p.peek().text;
      p.advance();
      current = boxed_pair(ExprKind::Index, std::move(current), std::move(member));
      break;
    }
    default:
      return current;
    }
  }
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
    Expr item = parse_expression(p);
    if (p.pos == before && !p.check(TokenKind::Comma)) {
      // A token that begins no expression, such as the `;` in `f(1;)`:
      // the list could not move past it, so skip it.
      p.advance();
      continue;
    }
    items.push_back(std::move(item));
    if (p.check(TokenKind::Comma)) p.advance();
  }
}

} // namespace tovik
