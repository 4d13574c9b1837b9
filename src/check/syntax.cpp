// Warnings from the text itself: the scanner's and the parser's repairs,
// and forms the language does not have, which read as something else.
#include "check/syntax.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <utility>

namespace tovik {

std::string token_spelling(TokenKind kind) {
  switch (kind) {
  case TokenKind::Identifier: return "a name";
  case TokenKind::Number:
  case TokenKind::Float: return "a number";
  case TokenKind::String: return "a string";
  case TokenKind::Eof: return "the end of the file";
  case TokenKind::Plus: return "'+'";
  case TokenKind::Minus: return "'-'";
  case TokenKind::Star: return "'*'";
  case TokenKind::Slash: return "'/'";
  case TokenKind::Percent: return "'%'";
  case TokenKind::Power: return "'**'";
  case TokenKind::Assign: return "'='";
  case TokenKind::PlusAssign: return "'+='";
  case TokenKind::MinusAssign: return "'-='";
  case TokenKind::StarAssign: return "'*='";
  case TokenKind::SlashAssign: return "'/='";
  case TokenKind::Equal: return "'=='";
  case TokenKind::NotEqual: return "'!='";
  case TokenKind::Less: return "'<'";
  case TokenKind::Greater: return "'>'";
  case TokenKind::LessEqual: return "'<='";
  case TokenKind::GreaterEqual: return "'>='";
  case TokenKind::LParen: return "'('";
  case TokenKind::RParen: return "')'";
  case TokenKind::LBrace: return "'{'";
  case TokenKind::RBrace: return "'}'";
  case TokenKind::LBracket: return "'['";
  case TokenKind::RBracket: return "']'";
  case TokenKind::Comma: return "','";
  case TokenKind::Colon: return "':'";
  case TokenKind::Semicolon: return "';'";
  case TokenKind::Arrow: return "'->'";
  case TokenKind::FatArrow: return "'=>'";
  case TokenKind::Dot: return "'.'";
  case TokenKind::Question: return "'?'";
  default: {
    // Keywords: their debug name lowered is their spelling.
    std::string word(token_kind_name(kind));
    for (char &c : word) c = static_cast<char>(c | 0x20);
    return "'" + word + "'";
  }
  }
}

namespace {

std::string code_point_text(int32_t code) {
  if (code < 0) return "a byte that is not UTF-8";
  char buffer[4];
  int32_t length = 0;
  U8_APPEND_UNSAFE(reinterpret_cast<uint8_t *>(buffer), length, code);
  return join({"'", std::string_view(buffer, static_cast<size_t>(length)), "'"});
}

// What a dropped statement of this keyword needs, for the message.
std::string_view statement_hint(TokenKind kind) {
  switch (kind) {
  case TokenKind::If:
  case TokenKind::While: return "'{' must follow the condition";
  case TokenKind::Match: return "'{' must follow the value matched";
  case TokenKind::For: return "it reads 'for NAME in VALUE { ... }'";
  case TokenKind::Def: return "it reads 'def NAME(PARAMS) { ... }'";
  case TokenKind::Let: return "it reads 'let NAME = VALUE'";
  case TokenKind::Try: return "it reads 'try { ... } catch NAME { ... }'";
  default: return "a name must follow it";
  }
}

// What other languages write with a character this one does not have.
std::string_view operator_hint(int32_t code) {
  switch (code) {
  case '&': return "'&&' is written 'and' here";
  case '|': return "'||' is written 'or' here";
  case '^': return "powers are written '**' (2 ** 3)";
  default: return {};
  }
}

bool adjacent(const Token &a, const Token &b, uint32_t width) {
  return a.line == b.line && a.column + width == b.column;
}

bool is_equality(TokenKind kind) { return kind == TokenKind::Equal || kind == TokenKind::NotEqual; }

bool is_assignment(TokenKind kind) {
  return kind == TokenKind::Assign || kind == TokenKind::PlusAssign ||
         kind == TokenKind::MinusAssign || kind == TokenKind::StarAssign ||
         kind == TokenKind::SlashAssign;
}

void add(CheckWarnings &out, uint32_t line, uint32_t column, std::string_view code,
         std::string message) {
  out.push_back({line, column, code, std::move(message)});
}

// Where each "{" of the token list closes, and the next "{" from each
// token on: found once, so spans for many forms on one line cost no rescans.
struct Braces {
  std::vector<size_t> next_open;  // index of the first "{" at or after i
  std::vector<size_t> closing;    // for a "{": index of its "}" (or the last token)
};

Braces match_braces(const std::vector<Token> &tokens) {
  Braces b;
  size_t n = tokens.size();
  b.next_open.assign(n + 1, n);
  for (size_t i = n; i-- > 0;)
    b.next_open[i] = tokens[i].kind == TokenKind::LBrace ? i : b.next_open[i + 1];
  b.closing.assign(n, n == 0 ? 0 : n - 1);
  std::vector<size_t> open;
  for (size_t i = 0; i < n; ++i) {
    if (tokens[i].kind == TokenKind::LBrace) open.push_back(i);
    if (tokens[i].kind == TokenKind::RBrace && !open.empty()) {
      b.closing[open.back()] = i;
      open.pop_back();
    }
  }
  return b;
}

// From `tokens[i]` to the "}" that closes the next "{" on its line, for a
// form whose block the parser reads as a dictionary.
QuietSpan through_block(const std::vector<Token> &tokens, const Braces &braces, size_t i) {
  QuietSpan span{tokens[i].line, tokens[i].column, UINT32_MAX};
  size_t j = braces.next_open[i];
  if (j == tokens.size() || tokens[j].line != tokens[i].line) return span;
  const Token &close = tokens[braces.closing[j]];
  span.to_line = close.line;
  span.to_column = close.column;
  return span;
}

// Whether the "{" at `i` is a dictionary the user wrote as a value: after
// "=", "(", "[", ",", ":" or `return`.
bool opens_value(const std::vector<Token> &tokens, size_t i) {
  if (tokens[i].kind != TokenKind::LBrace || i == 0) return false;
  switch (tokens[i - 1].kind) {
  case TokenKind::Assign:
  case TokenKind::LParen:
  case TokenKind::LBracket:
  case TokenKind::Comma:
  case TokenKind::Colon:
  case TokenKind::Return: return true;
  default: return false;
  }
}

// From the "{" at `i` to its "}".
QuietSpan through_closing(const std::vector<Token> &tokens, const Braces &braces, size_t i) {
  const Token &close = tokens[braces.closing[i]];
  return {tokens[i].line, tokens[i].column, close.column, close.line};
}

// A ";" with nothing before it in its statement (after "}", another ";" or
// at the start) reads as the statement 0, which does nothing: no mistake.
bool lone_semicolon(const std::vector<Token> &tokens, uint32_t line, uint32_t column) {
  auto at = std::lower_bound(tokens.begin(), tokens.end(), std::pair{line, column},
                             [](const Token &t, std::pair<uint32_t, uint32_t> place) {
                               return std::pair{t.line, t.column} < place;
                             });
  if (at == tokens.end() || at->kind != TokenKind::Semicolon) return false;
  if (at == tokens.begin()) return true;
  TokenKind before = (at - 1)->kind;
  return before == TokenKind::RBrace || before == TokenKind::Semicolon;
}

} // namespace

bool is_quiet(const std::vector<QuietSpan> &spans, uint32_t line, uint32_t column) {
  for (const QuietSpan &s : spans) {
    if (line < s.line || (line == s.line && column < s.from_column)) continue;
    uint32_t last_line = s.to_line > s.line ? s.to_line : s.line;
    if (line < last_line || (line == last_line && column <= s.to_column)) return true;
  }
  return false;
}

void check_scan_notes(const std::vector<ScanNote> &notes, SyntaxFindings &found) {
  for (size_t i = 0; i < notes.size(); ++i) {
    const ScanNote &n = notes[i];
    if (n.kind == ScanNote::UnterminatedString) {
      add(found.warnings, n.line, n.column, "W104",
          "this string is never closed: it runs to the end of the file");
    } else if (n.code == '\'') {
      add(found.warnings, n.line, n.column, "W204",
          "single quotes do not make text: write \"...\" with double quotes");
      // The words up to the closing quote read as names; that quote needs
      // no warning of its own.
      for (size_t j = i + 1; j < notes.size() && notes[j].line == n.line; ++j)
        if (notes[j].code == '\'') {
          found.quiet.push_back({n.line, n.column, notes[j].column});
          i = j;
          break;
        }
    } else if (n.code == 0xFEFF && n.line == 1 && n.column == 1) {
      // A byte order mark, which some editors write first: no mistake.
    } else if (std::string_view hint = operator_hint(n.code); !hint.empty()) {
      add(found.warnings, n.line, n.column, "W215",
          "the character " + code_point_text(n.code) + " begins nothing and is ignored: " +
              std::string(hint));
      found.foreign_operators.emplace_back(n.line, n.column);
      // `&&` and `||`: the second character is the same mistake.
      if (i + 1 < notes.size() && notes[i + 1].code == n.code && notes[i + 1].line == n.line &&
          notes[i + 1].column == n.column + 1)
        ++i;
    } else {
      add(found.warnings, n.line, n.column, "W106",
          "the character " + code_point_text(n.code) + " begins nothing and is ignored");
    }
  }
}

void check_recoveries(const std::vector<Recovery> &recoveries, const std::vector<Token> &tokens,
                      SyntaxFindings &found) {
  for (const Recovery &r : recoveries) {
    switch (r.kind) {
    case RecoveryKind::SkippedToken:
      add(found.warnings, r.line, r.column, "W101",
          "skipped " + token_spelling(r.token) + ", which cannot stand here");
      break;
    case RecoveryKind::MissingOperand:
      if (r.token == TokenKind::Semicolon && lone_semicolon(tokens, r.line, r.column)) break;
      add(found.warnings, r.line, r.column, "W102",
          "a value is missing before " + token_spelling(r.token) + "; it reads as 0");
      break;
    case RecoveryKind::Unclosed: {
      std::string closer = r.token == TokenKind::LParen     ? "')'"
                           : r.token == TokenKind::LBracket ? "']'"
                                                            : "'}'";
      add(found.warnings, r.line, r.column, "W103",
          "this " + token_spelling(r.token) + " is never closed: " + closer + " is missing");
      break;
    }
    case RecoveryKind::DroppedStatement:
      if (r.token == TokenKind::FatArrow)
        add(found.warnings, r.line, r.column, "W105",
            "this match arm has no '=>' and is dropped");
      else
        add(found.warnings, r.line, r.column, "W105",
            join({"this ", token_spelling(r.token), " statement is incomplete and is dropped: ",
                  statement_hint(r.token)}));
      break;
    }
  }
}

void check_forms(const std::vector<Token> &tokens, SyntaxFindings &found) {
  Braces braces = match_braces(tokens);
  // The first "=" at or after each token, to see at once whether one
  // stands between a condition's keyword and its "{".
  // Likewise the first "===" or "!==".
  std::vector<size_t> next_assign(tokens.size() + 1, tokens.size());
  std::vector<size_t> next_triple(tokens.size() + 1, tokens.size());
  for (size_t i = tokens.size(); i-- > 0;) {
    bool triple = tokens[i].kind == TokenKind::Assign && i > 0 &&
                  is_equality(tokens[i - 1].kind) && adjacent(tokens[i - 1], tokens[i], 2);
    next_assign[i] = tokens[i].kind == TokenKind::Assign && !triple ? i : next_assign[i + 1];
    next_triple[i] = triple ? i : next_triple[i + 1];
  }
  for (size_t i = 0; i + 1 < tokens.size(); ++i) {
    const Token &t = tokens[i];
    const Token &next = tokens[i + 1];
    const Token *before = i > 0 ? &tokens[i - 1] : nullptr;
    const Token *after = i + 2 < tokens.size() ? &tokens[i + 2] : nullptr;
    // `} else if c {`: the `if` is a statement of its own after an `else`
    // with no block, so it runs whether or not the first condition held.
    if (t.kind == TokenKind::Else && next.kind == TokenKind::If) {
      add(found.warnings, t.line, t.column, "W207",
          "there is no 'else if': this 'if' is a separate statement, tested even when the "
          "first condition held; write 'else { if ... }', or list the cases in "
          "'match true { CONDITION => ... }'");
      continue;
    }
    // `if x = 5 {`: the statement is dropped at "=", and its block is read
    // as a dictionary.
    if ((t.kind == TokenKind::If || t.kind == TokenKind::While) &&
        braces.next_open[i] < tokens.size() && tokens[braces.next_open[i]].line == t.line &&
        next_assign[i] < braces.next_open[i]) {
      size_t eq = next_assign[i];
      add(found.warnings, tokens[eq].line, tokens[eq].column, "W208",
          std::string("'=' in a condition does not compare, and this '") +
              (t.kind == TokenKind::If ? "if" : "while") +
              "' is dropped with its block: compare with '=='");
      QuietSpan span = through_block(tokens, braces, i);
      size_t close = braces.closing[braces.next_open[i]];
      if (close + 2 < tokens.size() && tokens[close + 1].kind == TokenKind::Else &&
          tokens[close + 2].kind == TokenKind::LBrace) {
        const Token &end = tokens[braces.closing[close + 2]];
        span.to_line = end.line;
        span.to_column = end.column;
      }
      found.quiet.push_back(span);
      continue;
    }
    // A condition holding `===`, `&&` and the like is dropped with its
    // block: those are explained where they stand, and the rest is quiet.
    if ((t.kind == TokenKind::If || t.kind == TokenKind::While) &&
        braces.next_open[i] < tokens.size() && tokens[braces.next_open[i]].line == t.line) {
      const Token &open = tokens[braces.next_open[i]];
      auto foreign = std::lower_bound(found.foreign_operators.begin(),
                                      found.foreign_operators.end(),
                                      std::pair{t.line, t.column});
      if (next_triple[i] < braces.next_open[i] ||
          (foreign != found.foreign_operators.end() &&
           *foreign < std::pair{open.line, open.column}))
        found.quiet.push_back(through_block(tokens, braces, i));
    }
    // `var x = 1`, `const x = 1`, `local x = 1`.
    if (t.kind == TokenKind::Identifier &&
        (t.text == "var" || t.text == "const" || t.text == "local" || t.text == "val") &&
        next.kind == TokenKind::Identifier && after && after->kind == TokenKind::Assign &&
        t.line == next.line) {
      add(found.warnings, t.line, t.column, "W209",
          "'" + t.text + "' is not a keyword: variables are made with 'let' (let " + next.text +
              " = ...)");
      found.quiet.push_back({t.line, t.column, t.column});
      continue;
    }
    // `for (i = 0; i < n; i += 1)`.
    if (t.kind == TokenKind::For && next.kind == TokenKind::LParen) {
      add(found.warnings, t.line, t.column, "W210",
          "'for' takes a name, 'in' and what to go over: write 'for i in 0..n { ... }', or a "
          "'while' loop");
      QuietSpan span = through_block(tokens, braces, i);
      span.openers = true;
      found.quiet.push_back(span);
      continue;
    }
    // `a === b`, `a !== b`.
    if ((t.kind == TokenKind::Equal || t.kind == TokenKind::NotEqual) &&
        next.kind == TokenKind::Assign && adjacent(t, next, 2)) {
      bool equal = t.kind == TokenKind::Equal;
      add(found.warnings, t.line, t.column, "W211",
          std::string(equal ? "'==='" : "'!=='") + " is written " + (equal ? "'=='" : "'!='") +
              " here; values of different kinds are never equal anyway");
      found.quiet.push_back({next.line, next.column, next.column + 1});
      continue;
    }
    // `-- text`: a comment elsewhere; here two minus signs and code.
    if (t.kind == TokenKind::Minus && next.kind == TokenKind::Minus && adjacent(t, next, 1) &&
        after && after->line == t.line && !adjacent(next, *after, 1) &&
        after->kind == TokenKind::Identifier) {
      add(found.warnings, t.line, t.column, "W203",
          "'--' does not begin a comment: comments start with '#'");
      found.quiet.push_back({t.line, t.column, UINT32_MAX});
      while (i + 1 < tokens.size() && tokens[i + 1].line == t.line) ++i;
      continue;
    }
    // `++n` at the start of a statement.
    if ((t.kind == TokenKind::Plus || t.kind == TokenKind::Minus) && next.kind == t.kind &&
        adjacent(t, next, 1) && after && after->kind == TokenKind::Identifier &&
        (!before || before->line != t.line)) {
      const char *op = t.kind == TokenKind::Plus ? "++" : "--";
      const char *fix = t.kind == TokenKind::Plus ? " += 1" : " -= 1";
      add(found.warnings, t.line, t.column, "W202",
          std::string("there is no '") + op + "' operator: write '" + after->text + fix + "'");
      found.quiet.push_back({t.line, t.column, after->column});
      continue;
    }
    // Dictionary entries written as in other languages: `{name = "Ann"}`,
    // `{"name": "Ann"}`, `{1: "one"}`.
    if (after && opens_value(tokens, i)) {
      if (next.kind == TokenKind::Identifier && after->kind == TokenKind::Assign) {
        add(found.warnings, after->line, after->column, "W213",
            "dictionary entries are written 'key: value', not 'key = value' (" + next.text +
                ": ...)");
        found.quiet.push_back(through_closing(tokens, braces, i));
        continue;
      }
      if ((next.kind == TokenKind::String || next.kind == TokenKind::Number) &&
          after->kind == TokenKind::Colon) {
        add(found.warnings, next.line, next.column, "W213",
            next.kind == TokenKind::String
                ? "dictionary keys are bare names: write " + next.text + ": ... without quotes"
                : std::string("dictionary keys are names, not numbers: this entry is dropped"));
        found.quiet.push_back(through_closing(tokens, braces, i));
        continue;
      }
    }
    // `default =>`, `else =>`, `case x =>`: the catch-all arm is `_ =>`.
    if (((t.kind == TokenKind::Identifier && t.text == "default") ||
         t.kind == TokenKind::Else) &&
        next.kind == TokenKind::FatArrow) {
      add(found.warnings, t.line, t.column, "W214",
          std::string(t.kind == TokenKind::Else ? "'else'" : "'default'") +
              " is no catch-all arm: write '_ =>'");
      found.quiet.push_back({t.line, t.column, next.column + 1});
      continue;
    }
    if (t.kind == TokenKind::Identifier && t.text == "case" && before &&
        before->line != t.line && next.line == t.line &&
        ((next.kind == TokenKind::Identifier && next.text == "_") ||
         next.kind == TokenKind::String || next.kind == TokenKind::Number)) {
      add(found.warnings, t.line, t.column, "W214",
          "'case' is not a keyword: a match arm is 'VALUE => ...', and the catch-all is '_ =>'");
      found.quiet.push_back({t.line, t.column, UINT32_MAX});
      continue;
    }
    // `a[0] = 1`, `d.x = 1`: the statement ends before the "=".
    if (is_assignment(next.kind) &&
        (t.kind == TokenKind::RBracket ||
         (t.kind == TokenKind::Identifier && before && before->kind == TokenKind::Dot))) {
      add(found.warnings, next.line, next.column, "W201",
          "only a plain name can be assigned to: this " + token_spelling(next.kind) +
              " does not change an element or member");
      found.quiet.push_back({next.line, next.column, next.column + 1});
      continue;
    }
    // `i++` / `i--`: two operators with a missing operand between them.
    if ((t.kind == TokenKind::Plus || t.kind == TokenKind::Minus) && next.kind == t.kind &&
        adjacent(t, next, 1) && before &&
        (before->kind == TokenKind::Identifier || before->kind == TokenKind::RBracket)) {
      const char *op = t.kind == TokenKind::Plus ? "++" : "--";
      const char *fix = t.kind == TokenKind::Plus ? "+= 1" : "-= 1";
      add(found.warnings, t.line, t.column, "W202",
          std::string("there is no '") + op + "' operator: write 'x " + fix + "'");
      found.quiet.push_back({t.line, t.column, t.column + 1});
      // The operand missing after them is found at the next token.
      if (i + 2 < tokens.size())
        found.quiet.push_back({tokens[i + 2].line, tokens[i + 2].column, tokens[i + 2].column});
      continue;
    }
    // `// text`: two divisions, and the words after them are read as code.
    if (t.kind == TokenKind::Slash && next.kind == TokenKind::Slash && adjacent(t, next, 1)) {
      add(found.warnings, t.line, t.column, "W203",
          "'//' is not a comment but two divisions: comments start with '#'");
      found.quiet.push_back({t.line, t.column, UINT32_MAX});
      while (i + 1 < tokens.size() && tokens[i + 1].line == t.line) ++i;
      continue;
    }
    // `function f(` / `fn f(`: a name, then a call, then a dictionary.
    if (t.kind == TokenKind::Identifier &&
        (t.text == "function" || t.text == "fn" || t.text == "func") &&
        next.kind == TokenKind::Identifier && i + 2 < tokens.size() &&
        tokens[i + 2].kind == TokenKind::LParen) {
      add(found.warnings, t.line, t.column, "W205",
          "'" + t.text + "' is not a keyword: functions are defined with 'def'");
      found.quiet.push_back(through_block(tokens, braces, i));
      continue;
    }
    if (t.kind == TokenKind::Identifier && t.text == "elif") {
      add(found.warnings, t.line, t.column, "W206",
          "'elif' is not a keyword: write 'else { if ... }'");
      found.quiet.push_back(through_block(tokens, braces, i));
    }
  }
}

} // namespace tovik
