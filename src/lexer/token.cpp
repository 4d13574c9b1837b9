#include "lexer/token.h"

#include <array>
#include <cmath>

#include "lexer/debug_text.h"

namespace tovik {

Token Token::identifier(std::string t) {
  Token tok(TokenKind::Identifier);
  tok.text = std::move(t);
  return tok;
}

Token Token::string(std::string t) {
  Token tok(TokenKind::String);
  tok.text = std::move(t);
  return tok;
}

Token Token::integer(int64_t n) {
  Token tok(TokenKind::Number);
  tok.number = n;
  return tok;
}

Token Token::floating(double d) {
  Token tok(TokenKind::Float);
  tok.real = d;
  return tok;
}

bool operator==(const Token &a, const Token &b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
  case TokenKind::Identifier:
  case TokenKind::String:
    return a.text == b.text;
  case TokenKind::Number:
    return a.number == b.number;
  case TokenKind::Float:
    return a.real == b.real;
  default:
    return true;
  }
}

namespace {

constexpr std::array<std::string_view, kTokenKindCount> kKindNames = {
#define TOVIK_KIND_NAME(kind, ...)                                           \
  std::string_view(#kind) == "Eof" ? std::string_view("EOF")                 \
                                   : std::string_view(#kind),
    TOVIK_TOKEN_KINDS(TOVIK_KIND_NAME, TOVIK_KIND_NAME)
#undef TOVIK_KIND_NAME
};

struct Keyword {
  std::string_view spelling;
  TokenKind kind;
};

constexpr Keyword kKeywords[] = {
#define TOVIK_KEYWORD_ENTRY(kind, spelling) {spelling, TokenKind::kind},
#define TOVIK_NOT_KEYWORD(kind)
    TOVIK_TOKEN_KINDS(TOVIK_KEYWORD_ENTRY, TOVIK_NOT_KEYWORD)
#undef TOVIK_KEYWORD_ENTRY
#undef TOVIK_NOT_KEYWORD
};

static_assert(sizeof kKeywords / sizeof kKeywords[0] == 21);

} // namespace

std::string_view token_kind_name(TokenKind kind) {
  return kKindNames[static_cast<size_t>(kind)];
}

TokenKind keyword_kind(std::string_view word) {
  for (const Keyword &k : kKeywords)
    if (k.spelling == word) return k.kind;
  return TokenKind::Identifier;
}

std::vector<std::string_view> keyword_spellings() {
  std::vector<std::string_view> out;
  for (const Keyword &k : kKeywords) out.push_back(k.spelling);
  return out;
}

std::string token_debug(const Token &token) {
  std::string out(token_kind_name(token.kind));
  switch (token.kind) {
  case TokenKind::Identifier:
  case TokenKind::String:
    out += '(';
    append_quoted(out, token.text);
    out += ')';
    break;
  case TokenKind::Number:
    out += '(';
    out += std::to_string(token.number);
    out += ')';
    break;
  case TokenKind::Float:
    out += '(';
    append_debug_double(out, token.real);
    out += ')';
    break;
  default:
    break;
  }
  return out;
}

} // namespace tovik
