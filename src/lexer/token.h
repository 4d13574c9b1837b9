// Tokens: the unit the scanner produces and the parser consumes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovik {

// The one list of token kinds, in declaration order. The end-of-input kind is
// spelled Eof in code (EOF is a C macro) and "EOF" in debug output. The enum, the debug
// names and the keyword table are all generated from it so they cannot
// disagree. KEYWORD(kind, spelling) for words, TOKEN(kind) for the rest.
#define TOVIK_TOKEN_KINDS(KEYWORD, TOKEN)                                    \
  KEYWORD(Let, "let")                                                        \
  KEYWORD(Def, "def")                                                        \
  KEYWORD(Return, "return")                                                  \
  KEYWORD(If, "if")                                                          \
  KEYWORD(Else, "else")                                                      \
  KEYWORD(While, "while")                                                    \
  KEYWORD(For, "for")                                                        \
  KEYWORD(In, "in")                                                          \
  KEYWORD(Break, "break")                                                    \
  KEYWORD(Continue, "continue")                                              \
  KEYWORD(True, "true")                                                      \
  KEYWORD(False, "false")                                                    \
  KEYWORD(And, "and")                                                        \
  KEYWORD(Or, "or")                                                          \
  KEYWORD(Not, "not")                                                        \
  KEYWORD(Match, "match")                                                    \
  KEYWORD(Try, "try")                                                        \
  KEYWORD(Catch, "catch")                                                    \
  KEYWORD(Global, "global")                                                  \
  TOKEN(Identifier)                                                          \
  TOKEN(Number)                                                              \
  TOKEN(Float)                                                               \
  TOKEN(String)                                                              \
  TOKEN(Plus)                                                                \
  TOKEN(Minus)                                                               \
  TOKEN(Star)                                                                \
  TOKEN(Slash)                                                               \
  TOKEN(Percent)                                                             \
  TOKEN(Power)                                                               \
  TOKEN(Assign)                                                              \
  TOKEN(PlusAssign)                                                          \
  TOKEN(MinusAssign)                                                         \
  TOKEN(StarAssign)                                                          \
  TOKEN(SlashAssign)                                                         \
  TOKEN(Equal)                                                               \
  TOKEN(NotEqual)                                                            \
  TOKEN(Less)                                                                \
  TOKEN(Greater)                                                             \
  TOKEN(LessEqual)                                                           \
  TOKEN(GreaterEqual)                                                        \
  TOKEN(LParen)                                                              \
  TOKEN(RParen)                                                              \
  TOKEN(LBrace)                                                              \
  TOKEN(RBrace)                                                              \
  TOKEN(LBracket)                                                            \
  TOKEN(RBracket)                                                            \
  TOKEN(Comma)                                                               \
  TOKEN(Colon)                                                               \
  TOKEN(Semicolon)                                                           \
  TOKEN(Arrow)                                                               \
  TOKEN(FatArrow)                                                            \
  TOKEN(Dot)                                                                 \
  TOKEN(Question)                                                            \
  KEYWORD(Use, "use")                                                        \
  KEYWORD(As, "as")                                                          \
  TOKEN(Eof)

enum class TokenKind : uint8_t {
#define TOVIK_KIND_ENUM(kind, ...) kind,
  TOVIK_TOKEN_KINDS(TOVIK_KIND_ENUM, TOVIK_KIND_ENUM)
#undef TOVIK_KIND_ENUM
};

inline constexpr int kTokenKindCount = 0
#define TOVIK_KIND_COUNT(...) +1
    TOVIK_TOKEN_KINDS(TOVIK_KIND_COUNT, TOVIK_KIND_COUNT)
#undef TOVIK_KIND_COUNT
    ;
static_assert(kTokenKindCount == 56);

// A kind plus, for Identifier and String, a text; for Number an integer; for
// Float a double. Payload fields of other kinds stay empty/zero.
// `line` and `column` (1-based, columns in code points) say where the token
// starts; 0 means made by code rather than read from source. They are not
// part of the token's identity: equality and debug text ignore them.
struct Token {
  TokenKind kind = TokenKind::Eof;
  uint32_t line = 0;
  std::string text;
  int64_t number = 0;
  double real = 0.0;
  uint32_t column = 0;

  Token() = default;
  explicit Token(TokenKind k) : kind(k) {}
  static Token identifier(std::string t);
  static Token string(std::string t);
  static Token integer(int64_t n);
  static Token floating(double d);
};

bool operator==(const Token &a, const Token &b);
inline bool operator!=(const Token &a, const Token &b) { return !(a == b); }

// "Plus", "LParen", "EOF": the kind's name as it appears in debug output.
std::string_view token_kind_name(TokenKind kind);

// The keyword kind a word spells, or Identifier when it is not a keyword.
TokenKind keyword_kind(std::string_view word);
// Every keyword's spelling, for suggesting one where a misspelt keyword
// reads as a name.
std::vector<std::string_view> keyword_spellings();

// Debug text of a token: `Plus`, `Identifier("x")`, `Number(5)`,
// `Float(1.5)`.
std::string token_debug(const Token &token);

} // namespace tovik
