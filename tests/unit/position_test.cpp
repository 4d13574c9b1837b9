#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lexer/scanner.h"
#include "parser/parser.h"

namespace tovik {
namespace {

// "LINE:COL Kind" per token, EOF included, one per line.
std::string placed(std::string_view source) {
  std::string out;
  for (const Token &t : tokenize(source)) {
    out += std::to_string(t.line) + ":" + std::to_string(t.column) + " ";
    out += token_kind_name(t.kind);
    out += '\n';
  }
  return out;
}

TEST(Positions, EveryTokenKindAcrossCrLfTabsCommentsAndMultiLineStrings) {
  const char *source =
      "let caf\u00e9 = \"a\\tb\"\r\n"
      "\tdef f(x, y) { return x ** 2; }\r\n"
      "\"two\nline \u00f1\" + 1.5 - 3 * 4 / 5 % 6\n"
      "x += 1; x -= 2; x *= 3; x /= 4\n"
      "if a == b and c != d or not e {} else {}\n"
      "while a < b { break } for i in 0..3 { continue }\n"
      "match v { 1 => true, _ => false }\n"
      "/* block\n comment */ try {} catch err {}\n"
      "global g; use m as n\r\n"
      "q[0] >= 1 <= 2 > 3 -> ? : \u00e9x\n"
      "_\u65e5\u672c = \"end\u00e9";
  const char *expected =
      "1:1 Let\n1:5 Identifier\n1:10 Assign\n1:12 String\n"
      "2:2 Def\n2:6 Identifier\n2:7 LParen\n2:8 Identifier\n2:9 Comma\n2:11 Identifier\n"
      "2:12 RParen\n2:14 LBrace\n2:16 Return\n2:23 Identifier\n2:25 Power\n2:28 Number\n"
      "2:29 Semicolon\n2:31 RBrace\n"
      "3:1 String\n4:9 Plus\n4:11 Float\n4:15 Minus\n4:17 Number\n4:19 Star\n4:21 Number\n"
      "4:23 Slash\n4:25 Number\n4:27 Percent\n4:29 Number\n"
      "5:1 Identifier\n5:3 PlusAssign\n5:6 Number\n5:7 Semicolon\n5:9 Identifier\n"
      "5:11 MinusAssign\n5:14 Number\n5:15 Semicolon\n5:17 Identifier\n5:19 StarAssign\n"
      "5:22 Number\n5:23 Semicolon\n5:25 Identifier\n5:27 SlashAssign\n5:30 Number\n"
      "6:1 If\n6:4 Identifier\n6:6 Equal\n6:9 Identifier\n6:11 And\n6:15 Identifier\n"
      "6:17 NotEqual\n6:20 Identifier\n6:22 Or\n6:25 Not\n6:29 Identifier\n6:31 LBrace\n"
      "6:32 RBrace\n6:34 Else\n6:39 LBrace\n6:40 RBrace\n"
      "7:1 While\n7:7 Identifier\n7:9 Less\n7:11 Identifier\n7:13 LBrace\n7:15 Break\n"
      "7:21 RBrace\n7:23 For\n7:27 Identifier\n7:29 In\n7:32 Number\n7:33 Dot\n7:34 Dot\n"
      "7:35 Number\n7:37 LBrace\n7:39 Continue\n7:48 RBrace\n"
      "8:1 Match\n8:7 Identifier\n8:9 LBrace\n8:11 Number\n8:13 FatArrow\n8:16 True\n"
      "8:20 Comma\n8:22 Identifier\n8:24 FatArrow\n8:27 False\n8:33 RBrace\n"
      "10:13 Try\n10:17 LBrace\n10:18 RBrace\n10:20 Catch\n10:26 Identifier\n10:30 LBrace\n"
      "10:31 RBrace\n"
      "11:1 Global\n11:8 Identifier\n11:9 Semicolon\n11:11 Use\n11:15 Identifier\n11:17 As\n"
      "11:20 Identifier\n"
      "12:1 Identifier\n12:2 LBracket\n12:3 Number\n12:4 RBracket\n12:6 GreaterEqual\n"
      "12:9 Number\n12:11 LessEqual\n12:14 Number\n12:16 Greater\n12:18 Number\n12:20 Arrow\n"
      "12:23 Question\n12:25 Colon\n12:28 Identifier\n"
      "13:1 Identifier\n13:5 Assign\n13:7 String\n13:12 EOF\n";
  EXPECT_EQ(placed(source), expected);
}

TEST(Positions, DoNotChangeTokenIdentity) {
  std::vector<Token> a = tokenize("x + 1");
  std::vector<Token> b = tokenize("\n\n   x\t+\r\n1");
  EXPECT_EQ(a, b);
  EXPECT_EQ(b[2].line, 4u);
  EXPECT_EQ(b[2].column, 1u);
}

std::string at(uint32_t line, uint32_t column) {
  return std::to_string(line) + ":" + std::to_string(column);
}

TEST(Positions, NodesStartAtTheirFirstToken) {
  std::vector<Token> tokens = tokenize(
      "def f(a) {\n  let x = (a + 1) * g(2)[0]\n  return -x.y\n}\n  h(1).k(2)");
  std::vector<Stmt> program = parse_program(tokens);
  ASSERT_EQ(program.size(), 2u);
  EXPECT_EQ(at(program[0].line, program[0].column), "1:1");
  const Stmt &let = program[0].body.at(0);
  EXPECT_EQ(at(let.line, let.column), "2:3");
  const Expr &product = let.expr; // (a + 1) * g(2)[0]
  EXPECT_EQ(at(product.line, product.column), "2:11");
  EXPECT_EQ(at(product.left->line, product.left->column), "2:11");
  EXPECT_EQ(at(product.op.line, product.op.column), "2:19");
  const Expr &index = *product.right; // g(2)[0]
  EXPECT_EQ(at(index.line, index.column), "2:21");
  EXPECT_EQ(at(index.left->line, index.left->column), "2:21");
  EXPECT_EQ(at(index.left->items[0].line, index.left->items[0].column), "2:23");
  const Stmt &ret = program[0].body.at(1);
  EXPECT_EQ(at(ret.expr.line, ret.expr.column), "3:10");
  EXPECT_EQ(at(ret.expr.left->line, ret.expr.left->column), "3:11");
  // A method call starts at its receiver, which becomes its first argument.
  const Expr &method = program[1].expr;
  EXPECT_EQ(at(method.line, method.column), "5:3");
  EXPECT_EQ(at(method.items[1].line, method.items[1].column), "5:10");
}

std::string notes(std::string_view source) {
  std::vector<Token> tokens = tokenize(source);
  std::vector<Recovery> recoveries;
  std::vector<Stmt> noted = parse_program(tokens, &recoveries);
  // Recording must not change the tree.
  EXPECT_EQ(render_stmts(noted), render_stmts(parse_program(tokens))) << source;
  std::string out;
  for (const Recovery &r : recoveries) {
    static const char *kNames[] = {"skipped", "operand", "unclosed", "dropped"};
    out += std::string(kNames[static_cast<int>(r.kind)]) + " " + at(r.line, r.column) + " " +
           std::string(token_kind_name(r.token)) + "\n";
  }
  return out;
}

TEST(Recoveries, EachRepairIsRecordedOnceAtItsPlace) {
  EXPECT_EQ(notes("let a = [1, 2\nprint(a)"), "unclosed 1:9 LBracket\n");
  EXPECT_EQ(notes("if x > 3\n  print(x)\n}"), "dropped 1:1 If\nskipped 3:1 RBrace\n");
  EXPECT_EQ(notes("print(1 * )"), "operand 1:11 RParen\n");
  EXPECT_EQ(notes("f(1;)"), "skipped 1:4 Semicolon\n");
  EXPECT_EQ(notes("a[0] = 1"), "skipped 1:6 Assign\n");
  EXPECT_EQ(notes("def f() {\n  while 1 { g(\n"),
            "unclosed 2:14 LParen\nunclosed 2:11 LBrace\nunclosed 1:9 LBrace\n");
  EXPECT_EQ(notes("let d = {x: 1, \"y\": 2, z}"),
            "skipped 1:16 String\nskipped 1:19 Colon\nskipped 1:21 Number\nskipped 1:22 Comma\n"
            "skipped 1:24 Identifier\n");
  EXPECT_EQ(notes("match v { 1 2 => 3 }"), "dropped 1:11 FatArrow\n");
  EXPECT_EQ(notes("use m { a, 1 }"), "skipped 1:12 Number\n");
  EXPECT_EQ(notes("let x = (1 + 2) * [3][0]\ndef f(a, b) { return a }\n"), "");
}

} // namespace
} // namespace tovik
