#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "lexer/scanner.h"

namespace tovik {
namespace {

// The token list as debug texts joined by blanks, EOF included.
std::string scan(std::string_view source) {
  std::string out;
  for (const Token &token : tokenize(source)) {
    if (!out.empty()) out += ' ';
    out += token_debug(token);
  }
  return out;
}

struct ScanCase {
  const char *source;
  const char *tokens;
};

void expect_scans(const std::vector<ScanCase> &cases) {
  for (const ScanCase &c : cases) EXPECT_EQ(scan(c.source), c.tokens) << "source: " << c.source;
}

TEST(Scanner, OperatorPairsTakeOnlyTheirOwnSecondCharacter) {
  expect_scans({
      {"x+=1", R"(Identifier("x") PlusAssign Number(1) EOF)"},
      {"x + = 1", R"(Identifier("x") Plus Assign Number(1) EOF)"},
      {"a->b", R"(Identifier("a") Arrow Identifier("b") EOF)"},
      {"a- >b", R"(Identifier("a") Minus Greater Identifier("b") EOF)"},
      {"a-=b", R"(Identifier("a") MinusAssign Identifier("b") EOF)"},
      {"x=>y", R"(Identifier("x") FatArrow Identifier("y") EOF)"},
      {"!x", R"(Not Identifier("x") EOF)"},
      {"! =", "Not Assign EOF"},
      {"!=", "NotEqual EOF"},
      {"2**3", "Number(2) Power Number(3) EOF"},
      {"2***3", "Number(2) Power Star Number(3) EOF"},
      {"*=", "StarAssign EOF"},
      {"%=", "Percent Assign EOF"},
      {"**=", "Power Assign EOF"},
      {"<==", "LessEqual Assign EOF"},
      {"===", "Equal Assign EOF"},
      {"< > <= >=", "Less Greater LessEqual GreaterEqual EOF"},
      {"/=", "SlashAssign EOF"},
      {"( ) { } [ ] , : ; . ? %",
       "LParen RParen LBrace RBrace LBracket RBracket Comma Colon Semicolon Dot Question "
       "Percent EOF"},
  });
}

TEST(Scanner, OperatorAtEndOfTextIsTheSingleCharacterToken) {
  expect_scans({
      {"+", "Plus EOF"},
      {"=", "Assign EOF"},
      {"-", "Minus EOF"},
      {"*", "Star EOF"},
      {"!", "Not EOF"},
      {"<", "Less EOF"},
      {">", "Greater EOF"},
      {"/", "Slash EOF"},
  });
}

TEST(Scanner, Comments) {
  expect_scans({
      {"a // b", R"(Identifier("a") Slash Slash Identifier("b") EOF)"},
      {"a /* x */ b", R"(Identifier("a") Identifier("b") EOF)"},
      {"/**/a", R"(Identifier("a") EOF)"},
      {"/*/ a */ b", R"(Identifier("b") EOF)"},
      {"/* a **/ b", R"(Identifier("b") EOF)"},
      {"/* a * / b */ c", R"(Identifier("c") EOF)"},
      {"/* /* */ a */", R"(Identifier("a") Star Slash EOF)"},
      {"a /* never closed\n b", R"(Identifier("a") EOF)"},
      {"a /*", R"(Identifier("a") EOF)"},
      {"a # rest\nb", R"(Identifier("a") Identifier("b") EOF)"},
      {"a #\r\nb", R"(Identifier("a") Identifier("b") EOF)"},
      {"# only a comment", "EOF"},
      {"x # trailing, no line feed", R"(Identifier("x") EOF)"},
      {"a#b", R"(Identifier("a") EOF)"},
  });
}

TEST(Scanner, StringsAndEscapes) {
  expect_scans({
      {R"("a\nb\tc\rd")", R"(String("a\nb\tc\rd") EOF)"},
      {R"("\\")", R"(String("\\") EOF)"},
      {R"("say \"hi\" now")", R"(String("say \"hi\" now") EOF)"},
      {R"("\q")", R"(String("\\q") EOF)"},
      {R"("\0")", R"(String("\\0") EOF)"},
      {"\"two\nlines\"", R"(String("two\nlines") EOF)"},
      {"\"tab\there\"", R"(String("tab\there") EOF)"},
      {R"("" "")", R"(String("") String("") EOF)"},
      {R"("open)", R"(String("open") EOF)"},
      {R"("ends in backslash\)", R"(String("ends in backslash") EOF)"},
      {R"("\)", R"(String("") EOF)"},
      {R"x("a\"")x", R"x(String("a\"") EOF)x"},
      {R"x("a\")x", R"x(String("a\"") EOF)x"},
      {"\"# not a comment /* nor this\"", R"(String("# not a comment /* nor this") EOF)"},
      {"'x'", R"(Identifier("x") EOF)"},
  });
  // Non-ASCII text passes through byte for byte.
  std::vector<Token> tokens = tokenize("\"caf\xC3\xA9 \xE4\xB8\xAD \\\xC3\xA9\"");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].text, "caf\xC3\xA9 \xE4\xB8\xAD \\\xC3\xA9");
}

TEST(Scanner, Numbers) {
  expect_scans({
      {"0 7 42", "Number(0) Number(7) Number(42) EOF"},
      {"007", "Number(7) EOF"},
      {"1.5", "Float(1.5) EOF"},
      {"3.0", "Float(3.0) EOF"},
      {"00.50", "Float(0.5) EOF"},
      {"1..5", "Number(1) Dot Dot Number(5) EOF"},
      {"5.", "Number(5) Dot EOF"},
      {"5.x", R"(Number(5) Dot Identifier("x") EOF)"},
      {".5", "Dot Number(5) EOF"},
      {"1.2.3", "Float(1.2) Dot Number(3) EOF"},
      {"1e5", R"(Number(1) Identifier("e5") EOF)"},
      {"1_000", R"(Number(1) Identifier("_000") EOF)"},
      {"12abc", R"(Number(12) Identifier("abc") EOF)"},
      {"-5", "Minus Number(5) EOF"},
      {"9223372036854775807", "Number(9223372036854775807) EOF"},
      {"0009223372036854775807", "Number(9223372036854775807) EOF"},
  });
}

// An integer literal beyond the integer range becomes the nearest double
// rather than wrapping or aborting.
TEST(Scanner, IntegerBeyondRangeBecomesNearestDouble) {
  expect_scans({
      {"9223372036854775808", "Float(9.223372036854776e18) EOF"},
      {"99999999999999999999", "Float(1e20) EOF"},
      {"18446744073709551617 1", "Float(1.8446744073709552e19) Number(1) EOF"},
  });
  std::vector<Token> tokens = tokenize("123456789012345678901234567890");
  ASSERT_EQ(tokens[0].kind, TokenKind::Float);
  EXPECT_EQ(tokens[0].real, 123456789012345678901234567890.0);

  // Beyond the double range: infinity, as for a fractional literal.
  std::string huge(400, '9');
  EXPECT_EQ(scan(huge), "Float(inf) EOF");
  EXPECT_EQ(scan(huge + ".5"), "Float(inf) EOF");
  // Far below the smallest double: zero; just above it: still exact.
  EXPECT_EQ(scan("0." + std::string(400, '0') + "1"), "Float(0.0) EOF");
  tokens = tokenize("0." + std::string(310, '0') + "5");
  EXPECT_EQ(tokens[0].real, 5e-311);
}

TEST(Scanner, NonAsciiDigitsAreNotDigits) {
  // U+0661 U+0662: Arabic-Indic one and two; they begin no token.
  expect_scans({{"\xD9\xA1\xD9\xA2 1", "Number(1) EOF"}});
}

TEST(Scanner, IdentifiersAndKeywords) {
  expect_scans({
      {"let def return if else while for in break continue",
       "Let Def Return If Else While For In Break Continue EOF"},
      {"true false and or not match try catch global use as",
       "True False And Or Not Match Try Catch Global Use As EOF"},
      {"Let TRUE lets _ _x x_1", R"(Identifier("Let") Identifier("TRUE") Identifier("lets") )"
                                 R"(Identifier("_") Identifier("_x") Identifier("x_1") EOF)"},
      {"sdl2.create_window",
       R"(Identifier("sdl2") Dot Identifier("create_window") EOF)"},
      {"a$b", R"(Identifier("a") Identifier("b") EOF)"},
      {"a && b || c", R"(Identifier("a") Identifier("b") Identifier("c") EOF)"},
      {"a@b~c^d`e\\f", R"(Identifier("a") Identifier("b") Identifier("c") )"
                       R"(Identifier("d") Identifier("e") Identifier("f") EOF)"},
      {"a\x0b" "b\x01" "c", R"(Identifier("a") Identifier("b") Identifier("c") EOF)"},
      {"if(x)", R"(If LParen Identifier("x") RParen EOF)"},
  });
}

TEST(Scanner, NonAsciiContinuesButNeverBeginsAnIdentifier) {
  expect_scans({
      // é (Alphabetic) continues; in élan the é is dropped.
      {"caf\xC3\xA9", "Identifier(\"caf\xC3\xA9\") EOF"},
      {"\xC3\xA9lan", R"(Identifier("lan") EOF)"},
      // CJK letters, U+0661 (Nd), U+216B (Nl), U+00B2 (No) continue.
      {"x\xE4\xB8\xAD\xE6\x96\x87", "Identifier(\"x\xE4\xB8\xAD\xE6\x96\x87\") EOF"},
      {"x\xD9\xA1", "Identifier(\"x\xD9\xA1\") EOF"},
      {"x\xE2\x85\xAB", "Identifier(\"x\xE2\x85\xAB\") EOF"},
      {"x\xC2\xB2", "Identifier(\"x\xC2\xB2\") EOF"},
      // The euro sign (Sc) and a no-break space end the name and are dropped.
      {"a\xE2\x82\xAC" "b", R"(Identifier("a") Identifier("b") EOF)"},
      {"a\xC2\xA0" "b", R"(Identifier("a") Identifier("b") EOF)"},
      // A keyword followed by a letter is a longer name, not the keyword.
      {"if\xC3\xA9", "Identifier(\"if\xC3\xA9\") EOF"},
  });
}

TEST(Scanner, InvalidUtf8IsDroppedAndSeparates) {
  expect_scans({
      {"a\xFF" "b", R"(Identifier("a") Identifier("b") EOF)"},
      {"\x80\x80 1", "Number(1) EOF"},
      {"x\xC3", R"(Identifier("x") EOF)"},
      {"x\xE2\x82", R"(Identifier("x") EOF)"},
      {"x\xF0\x9F\x98", R"(Identifier("x") EOF)"},
      {"\xED\xA0\x80" "a", R"(Identifier("a") EOF)"},
      {"\"a\xFF" "b\"", R"(String("ab") EOF)"},
      {"\"a\\\xFF\"", R"(String("a\\") EOF)"},
      {"\"a\xE2\x82", R"(String("a") EOF)"},
  });
}

TEST(Scanner, EmptyAndBlankTextsGiveOnlyEof) {
  expect_scans({
      {"", "EOF"},
      {" \t\r\n", "EOF"},
      {"# a\n/* b */ # c", "EOF"},
  });
}

// Arbitrary bytes never crash the scanner and always end in exactly one
// EOF; run under the sanitizers this also catches reads past the text.
TEST(Scanner, ArbitraryBytesAlwaysEndInOneEof) {
  std::mt19937 rng(12345);
  const std::string alphabet = "\"\\/*#.=!<>-+0123456789aZ_ \n\x80\xC3\xA9\xE4\xF0\xFF";
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    size_t length = rng() % 40;
    for (size_t i = 0; i < length; ++i)
      text += (rng() % 4 == 0) ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    std::vector<Token> tokens = tokenize(text);
    ASSERT_FALSE(tokens.empty());
    EXPECT_EQ(tokens.back().kind, TokenKind::Eof);
    for (size_t i = 0; i + 1 < tokens.size(); ++i)
      ASSERT_NE(tokens[i].kind, TokenKind::Eof) << "text: " << text;
  }
}

} // namespace
} // namespace tovik
