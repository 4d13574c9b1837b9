#include "lexer/scanner.h"

#include "support/unicode.h"

#include <unicode/utf8.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace tovik {

namespace {

// Code points outside the Unicode range mark the two non-characters the
// scanner can read: the end of the text and a byte sequence that is not
// UTF-8. An invalid sequence is dropped like any other unknown character.
constexpr int32_t kEnd = -1;
constexpr int32_t kInvalid = -2;

// One character read from the text: its code point and the bytes it spans,
// so that identifier texts and string runs can be copied out of the source.
struct Char {
  int32_t code = kEnd;
  size_t start = 0;
  size_t end = 0;
  uint32_t line = 1;
  uint32_t column = 1;
};

// The source cursor with its one pending character: a character read while
// deciding on one token and not used by it is handed to the next step.
struct Scanner {
  std::string_view text;
  size_t pos = 0;
  Char pending;
  bool has_pending = false;
  std::vector<Token> tokens;
  std::vector<ScanNote> *notes = nullptr;
  // Where the next character read from the text starts. A tab is one
  // column; a line feed starts the next line, so CR LF is one line end.
  uint32_t line = 1;
  uint32_t column = 1;

  Char read() {
    if (has_pending) {
      has_pending = false;
      return pending;
    }
    Char c;
    c.start = pos;
    c.line = line;
    c.column = column;
    if (pos >= text.size()) {
      c.end = pos;
      return c;
    }
    const auto *bytes = reinterpret_cast<const uint8_t *>(text.data());
    UChar32 code;
    U8_NEXT(bytes, pos, text.size(), code);
    c.code = code < 0 ? kInvalid : code;
    c.end = pos;
    if (c.code == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
    return c;
  }

  void keep(Char c) {
    pending = c;
    has_pending = true;
  }

  // The next byte of the text, not consumed; only valid with no pending
  // character, which is how the number rule uses it.
  int next_byte() const {
    return pos < text.size() ? static_cast<uint8_t>(text[pos]) : -1;
  }

  void emit(TokenKind kind) { tokens.emplace_back(kind); }
};

bool is_digit(int32_t c) { return c >= '0' && c <= '9'; }

bool is_ascii_letter(int32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool continues_identifier(int32_t c) {
  if (c < 0) return false;
  if (c < 0x80) return is_ascii_letter(c) || is_digit(c) || c == '_';
  return is_identifier_character(c);
}

// "#" up to and including the next line feed.
void skip_line_comment(Scanner &s) {
  for (;;) {
    Char c = s.read();
    if (c.code == kEnd || c.code == '\n') return;
  }
}

// After "/*": up to and including the first "*/". The opening star is
// already consumed, so "/*/" does not close.
void skip_block_comment(Scanner &s) {
  bool star = false;
  for (;;) {
    Char c = s.read();
    if (c.code == kEnd) return;
    if (star && c.code == '/') return;
    star = c.code == '*';
  }
}

// After the opening quote: the text up to the closing quote, escapes
// resolved. An unknown escape keeps the backslash, so Windows-style paths
// and regex-like texts survive as written.
void scan_string(Scanner &s, const Char &quote) {
  std::string out;
  for (;;) {
    Char c = s.read();
    if (c.code == '"') break;
    if (c.code == kEnd) {
      if (s.notes) s.notes->push_back({ScanNote::UnterminatedString, quote.line, quote.column, 0});
      break;
    }
    if (c.code == kInvalid) continue;
    if (c.code != '\\') {
      out.append(s.text, c.start, c.end - c.start);
      continue;
    }
    Char e = s.read();
    // A lone backslash at the very end is dropped and the string ends.
    if (e.code == kEnd) {
      if (s.notes) s.notes->push_back({ScanNote::UnterminatedString, quote.line, quote.column, 0});
      break;
    }
    switch (e.code) {
    case 'n': out += '\n'; break;
    case 't': out += '\t'; break;
    case 'r': out += '\r'; break;
    case '\\': out += '\\'; break;
    case '"': out += '"'; break;
    case kInvalid: out += '\\'; break;
    default:
      out += '\\';
      out.append(s.text, e.start, e.end - e.start);
      break;
    }
  }
  s.tokens.push_back(Token::string(std::move(out)));
}

// The nearest double of a run of ASCII digits with at most one ".".
// from_chars rounds correctly but reports values beyond the double range
// instead of giving them; without an exponent the magnitude tells which
// side was crossed.
double decimal_to_double(std::string_view digits) {
  double value = 0.0;
  auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec != std::errc::result_out_of_range) return value;
  for (char d : digits) {
    if (d == '.') break;
    if (d != '0') return std::numeric_limits<double>::infinity();
  }
  return 0.0;
}

// Digits, and at most one "." that is followed by a digit. `first` is the
// leading digit, already read.
void scan_number(Scanner &s, Char first) {
  size_t start = first.start;
  size_t end = first.end;
  bool has_dot = false;
  for (;;) {
    Char c = s.read();
    if (is_digit(c.code)) {
      end = c.end;
      continue;
    }
    if (c.code == '.' && !has_dot && is_digit(s.next_byte())) {
      has_dot = true;
      end = c.end;
      continue;
    }
    s.keep(c);
    break;
  }
  std::string_view digits = s.text.substr(start, end - start);
  if (has_dot) {
    s.tokens.push_back(Token::floating(decimal_to_double(digits)));
    return;
  }
  int64_t value = 0;
  auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large for an integer: the closest the language can hold is a
    // double, which keeps the magnitude instead of wrapping or failing.
    s.tokens.push_back(Token::floating(decimal_to_double(digits)));
    return;
  }
  s.tokens.push_back(Token::integer(value));
}

// A name or keyword; `first` is its ASCII letter or "_", already read.
void scan_identifier(Scanner &s, Char first) {
  size_t end = first.end;
  for (;;) {
    Char c = s.read();
    if (!continues_identifier(c.code)) {
      s.keep(c);
      break;
    }
    end = c.end;
  }
  std::string_view word = s.text.substr(first.start, end - first.start);
  TokenKind kind = keyword_kind(word);
  if (kind == TokenKind::Identifier)
    s.tokens.push_back(Token::identifier(std::string(word)));
  else
    s.emit(kind);
}

// A one-character token, or the two-character one when the next character
// completes a pair; otherwise the next character stays pending.
void scan_pair(Scanner &s, TokenKind single, int32_t second, TokenKind pair,
               int32_t second_alt = kEnd, TokenKind pair_alt = TokenKind::Eof) {
  Char c = s.read();
  if (c.code == second) {
    s.emit(pair);
  } else if (second_alt != kEnd && c.code == second_alt) {
    s.emit(pair_alt);
  } else {
    s.keep(c);
    s.emit(single);
  }
}

} // namespace

std::vector<Token> tokenize(std::string_view source, std::vector<ScanNote> *notes) {
  Scanner s;
  s.text = source;
  s.notes = notes;
  // Typical source has a token every three to five bytes; reserving for that
  // avoids regrowing the list, and untouched capacity costs no memory.
  s.tokens.reserve(source.size() / 4 + 1);
  for (;;) {
    Char c = s.read();
    // Each step below emits at most one token, and it starts at `c`.
    size_t emitted = s.tokens.size();
    switch (c.code) {
    case kEnd:
      s.emit(TokenKind::Eof);
      s.tokens.back().line = c.line;
      s.tokens.back().column = c.column;
      return std::move(s.tokens);
    case ' ':
    case '\t':
    case '\n':
    case '\r':
      break;
    case '#':
      skip_line_comment(s);
      break;
    case '/': {
      Char next = s.read();
      if (next.code == '*') {
        skip_block_comment(s);
      } else if (next.code == '=') {
        s.emit(TokenKind::SlashAssign);
      } else {
        s.keep(next);
        s.emit(TokenKind::Slash);
      }
      break;
    }
    case '"':
      scan_string(s, c);
      break;
    case '(': s.emit(TokenKind::LParen); break;
    case ')': s.emit(TokenKind::RParen); break;
    case '{': s.emit(TokenKind::LBrace); break;
    case '}': s.emit(TokenKind::RBrace); break;
    case '[': s.emit(TokenKind::LBracket); break;
    case ']': s.emit(TokenKind::RBracket); break;
    case ',': s.emit(TokenKind::Comma); break;
    case ':': s.emit(TokenKind::Colon); break;
    case ';': s.emit(TokenKind::Semicolon); break;
    case '.': s.emit(TokenKind::Dot); break;
    case '?': s.emit(TokenKind::Question); break;
    case '%': s.emit(TokenKind::Percent); break;
    case '+':
      scan_pair(s, TokenKind::Plus, '=', TokenKind::PlusAssign);
      break;
    case '-':
      scan_pair(s, TokenKind::Minus, '=', TokenKind::MinusAssign, '>', TokenKind::Arrow);
      break;
    case '*':
      scan_pair(s, TokenKind::Star, '=', TokenKind::StarAssign, '*', TokenKind::Power);
      break;
    case '=':
      scan_pair(s, TokenKind::Assign, '=', TokenKind::Equal, '>', TokenKind::FatArrow);
      break;
    case '!':
      scan_pair(s, TokenKind::Not, '=', TokenKind::NotEqual);
      break;
    case '<':
      scan_pair(s, TokenKind::Less, '=', TokenKind::LessEqual);
      break;
    case '>':
      scan_pair(s, TokenKind::Greater, '=', TokenKind::GreaterEqual);
      break;
    default:
      if (is_digit(c.code))
        scan_number(s, c);
      else if (is_ascii_letter(c.code) || c.code == '_')
        scan_identifier(s, c);
      else if (s.notes)
        s.notes->push_back({ScanNote::DroppedCharacter, c.line, c.column, c.code});
      // Anything else begins no token and is dropped; it still ends the
      // token before it, since that token has already been emitted.
      break;
    }
    if (s.tokens.size() > emitted) {
      s.tokens.back().line = c.line;
      s.tokens.back().column = c.column;
    }
  }
}

} // namespace tovik
