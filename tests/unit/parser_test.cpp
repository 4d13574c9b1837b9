#include <gtest/gtest.h>

#include <pthread.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/halt.h"

namespace tovik {
namespace {

std::vector<Stmt> parse(std::string_view source) { return parse_program(tokenize(source)); }

std::string rendered(std::string_view source) { return render_stmts(parse(source)); }

// The rendering of the one expression statement `source` holds.
std::string expr(std::string_view source) {
  std::vector<Stmt> program = parse(source);
  if (program.size() != 1 || program[0].kind != StmtKind::Expr)
    return "not one expression statement: " + render_stmts(program);
  return render_expr(program[0].expr);
}

struct ParseCase {
  const char *source;
  const char *expected;
};

TEST(Parser, RendersTheLetExampleExactly) {
  EXPECT_EQ(rendered("let x = a + 1;"),
            R"([Let { name: "x", value: BinaryOp { left: Identifier("a"), op: Plus, )"
            R"(right: Number(1) } }])");
}

// Parentheses make no node, so a correctly grouped parse renders the same
// as the fully parenthesised text.
TEST(Parser, PrecedenceAndAssociativity) {
  const ParseCase cases[] = {
      {"1 + 2 * 3", "1 + (2 * 3)"},
      {"1 - 2 - 3", "(1 - 2) - 3"},
      {"2 ** 3 ** 2", "(2 ** 3) ** 2"},
      {"-2 ** 2", "(-2) ** 2"},
      {"a * b % c / d", "((a * b) % c) / d"},
      {"a + b * c ** d", "a + (b * (c ** d))"},
      {"a - -b", "a - (-b)"},
      {"- - x", "-(-(x))"},
      {"not not x", "not (not x)"},
      {"not a == b", "(not a) == b"},
      {"!x and y", "(not x) and y"},
      {"-a.b", "-(a.b)"},
      {"-f(1)[2]", "-((f(1))[2])"},
      {"x[1] ** 2", "(x[1]) ** 2"},
      {"a or b and c", "a or (b and c)"},
      {"a and b or c and d", "(a and b) or (c and d)"},
      {"a or b or c", "(a or b) or c"},
      {"a == b < c", "a == (b < c)"},
      {"a < b < c", "(a < b) < c"},
      {"a >= b <= c > d", "((a >= b) <= c) > d"},
      {"a != b == c", "(a != b) == c"},
      {"a == b and c != d", "(a == b) and (c != d)"},
      {"0..n + 1", "0..(n + 1)"},
      {"a < 1..5", "a < (1..5)"},
      {"x == 1..3", "x == (1..3)"},
      {"1 * 2..3 - 4", "(1 * 2)..(3 - 4)"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(expr(c.source), expr(c.expected)) << c.source;
}

TEST(Parser, OperatorNodes) {
  const ParseCase cases[] = {
      {"-5", "UnaryOp { op: Minus, operand: Number(5) }"},
      {"!a", R"(UnaryOp { op: Not, operand: Identifier("a") })"},
      {"2 ** 3 ** 2",
       "BinaryOp { left: BinaryOp { left: Number(2), op: Power, right: Number(3) }, "
       "op: Power, right: Number(2) }"},
      {"a % b", R"(BinaryOp { left: Identifier("a"), op: Percent, right: Identifier("b") })"},
      {"a or b", R"(BinaryOp { left: Identifier("a"), op: Or, right: Identifier("b") })"},
      {"a >= b", R"(BinaryOp { left: Identifier("a"), op: GreaterEqual, right: Identifier("b") })"},
      {"true and false", "BinaryOp { left: Boolean(true), op: And, right: Boolean(false) }"},
      {"1.5 / \"s\"", R"(BinaryOp { left: Float(1.5), op: Slash, right: String("s") })"},
      {"null", R"(Identifier("null"))"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(expr(c.source), c.expected) << c.source;
}

TEST(Parser, RangesDoNotChain) {
  EXPECT_EQ(expr("0..10"), "Range { start: Number(0), end: Number(10) }");
  // The second `..` is left over; it then starts a statement of its own
  // whose missing start is 0.
  EXPECT_EQ(rendered("1..2..3"),
            "[Expr(Range { start: Number(1), end: Number(2) }), "
            "Expr(Range { start: Number(0), end: Number(3) })]");
  EXPECT_EQ(expr("a.b..c"),
            R"(Range { start: Index { object: Identifier("a"), index: String("b") }, )"
            R"(end: Identifier("c") })");
}

TEST(Parser, MemberAccessAndIndexChains) {
  const ParseCase cases[] = {
      {"a.b.c",
       R"(Index { object: Index { object: Identifier("a"), index: String("b") }, )"
       R"(index: String("c") })"},
      {"a[1][2]",
       R"(Index { object: Index { object: Identifier("a"), index: Number(1) }, index: Number(2) })"},
      {"a[i].b",
       R"(Index { object: Index { object: Identifier("a"), index: Identifier("i") }, )"
       R"(index: String("b") })"},
      {"(1 + 2).x",
       R"(Index { object: BinaryOp { left: Number(1), op: Plus, right: Number(2) }, )"
       R"(index: String("x") })"},
      {"\"abc\"[0]", R"(Index { object: String("abc"), index: Number(0) })"},
      // A keyword is not a member name.
      {"a.if", R"(Identifier("a"))"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(expr(c.source), c.expected) << c.source;
  // `x.` before anything but a name or a dot leaves the dot unread.
  EXPECT_EQ(rendered("x.)"), R"([Expr(Identifier("x"))])");
}

TEST(Parser, CallNames) {
  const ParseCase cases[] = {
      // A plain name.
      {"f(1, 2)", R"(Call { name: "f", args: [Number(1), Number(2)] })"},
      {"(f)(1)", R"(Call { name: "f", args: [Number(1)] })"},
      // A member of a name: one dotted name.
      {"m.f(x)", R"(Call { name: "m.f", args: [Identifier("x")] })"},
      {"m[\"f\"](1)", R"(Call { name: "m.f", args: [Number(1)] })"},
      {"sdl2.clear_screen()", R"(Call { name: "sdl2.clear_screen", args: [] })"},
      // A member of anything else: a method with the object first.
      {"a.b.c(1)",
       R"(Call { name: "c", args: [Index { object: Identifier("a"), index: String("b") }, )"
       R"(Number(1)] })"},
      {"xs[0].push(1)",
       R"(Call { name: "push", args: [Index { object: Identifier("xs"), index: Number(0) }, )"
       R"(Number(1)] })"},
      {"\"abc\".f()", R"(Call { name: "f", args: [String("abc")] })"},
      {"f().g()", R"(Call { name: "g", args: [Call { name: "f", args: [] }] })"},
      // An index that is not a member name: "call" with the index first.
      {"xs[0](5)",
       R"(Call { name: "call", args: [Index { object: Identifier("xs"), index: Number(0) }, )"
       R"(Number(5)] })"},
      // Any other callee: "call" with the callee first.
      {"f(1)(2)",
       R"(Call { name: "call", args: [Call { name: "f", args: [Number(1)] }, Number(2)] })"},
      {"(1 + 2)(3)",
       R"(Call { name: "call", args: [BinaryOp { left: Number(1), op: Plus, right: Number(2) }, )"
       R"(Number(3)] })"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(expr(c.source), c.expected) << c.source;
}

TEST(Parser, NamesAreInterned) {
  std::vector<Stmt> program = parse("m.f(x)");
  ASSERT_EQ(program.size(), 1u);
  const Expr &call = program[0].expr;
  EXPECT_EQ(call.symbol, intern("m.f"));
  ASSERT_EQ(call.items.size(), 1u);
  EXPECT_EQ(call.items[0].symbol, intern("x"));
  EXPECT_EQ(parse("xs[0](1)")[0].expr.symbol, intern("call"));

  const char *source =
      "let a = 1 b = 2 c += 3 def d() {} for e in f {} global g "
      "try {} catch h {} if 1 {} while 1 {} match 1 {} k return 1 return";
  program = parse(source);
  ASSERT_EQ(program.size(), 13u) << render_stmts(program);
  const char *names[] = {"a", "b", "c", "d", "e", "g", "h"};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(program[i].name, names[i]);
    EXPECT_EQ(program[i].symbol, intern(names[i])) << names[i];
  }
  // Every statement that carries an expression says so; a bare return does not.
  const size_t with_expr[] = {0, 1, 2, 4, 7, 8, 9, 10, 11};
  for (size_t i : with_expr) EXPECT_TRUE(program[i].has_expr) << render_stmt(program[i]);
  EXPECT_FALSE(program[3].has_expr);
  EXPECT_FALSE(program[12].has_expr);
  EXPECT_EQ(render_stmt(program[12]), "Return(None)");
}

TEST(Parser, ArraysAndDictionaries) {
  const ParseCase cases[] = {
      {"[1 2, 3,]", "Array([Number(1), Number(2), Number(3)])"},
      {"[]", "Array([])"},
      {"[[1], []]", "Array([Array([Number(1)]), Array([])])"},
      {"[1,,2]", "Array([Number(1), Number(0), Number(2)])"},
      {"{}", "Dict([])"},
      {"{a: 1, b: 2}", R"(Dict([("a", Number(1)), ("b", Number(2))]))"},
      {"{a: 1 b: 2,}", R"(Dict([("a", Number(1)), ("b", Number(2))]))"},
      {"{a: 1, a: 2}", R"(Dict([("a", Number(1)), ("a", Number(2))]))"},
      {"{a}", "Dict([])"},
      {"{a b: 2}", R"(Dict([("b", Number(2))]))"},
      {"{a: {b: [x]}}",
       R"(Dict([("a", Dict([("b", Array([Identifier("x")]))]))]))"},
      {"{a: }", R"(Dict([("a", Number(0))]))"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(expr(c.source), c.expected) << c.source;
}

TEST(Parser, MissingOperandsAndClosersAreTolerated) {
  const ParseCase cases[] = {
      {"f(", R"([Expr(Call { name: "f", args: [] })])"},
      {"f(1 2", R"([Expr(Call { name: "f", args: [Number(1), Number(2)] })])"},
      {"(1 + 2", "[Expr(BinaryOp { left: Number(1), op: Plus, right: Number(2) })]"},
      {"[1", "[Expr(Array([Number(1)]))]"},
      {"{a: 1", R"([Expr(Dict([("a", Number(1))]))])"},
      {"x[1", R"([Expr(Index { object: Identifier("x"), index: Number(1) })])"},
      {"()", "[Expr(Number(0))]"},
      {"* 2", "[Expr(BinaryOp { left: Number(0), op: Star, right: Number(2) })]"},
      {"1 +", "[Expr(BinaryOp { left: Number(1), op: Plus, right: Number(0) })]"},
      {"1 + )", "[Expr(BinaryOp { left: Number(1), op: Plus, right: Number(0) })]"},
      {"-", "[Expr(UnaryOp { op: Minus, operand: Number(0) })]"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(rendered(c.source), c.expected) << c.source;
}

TEST(Parser, StatementForms) {
  const ParseCase cases[] = {
      {"", "[]"},
      {"let x = 1 let y = 2",
       R"([Let { name: "x", value: Number(1) }, Let { name: "y", value: Number(2) }])"},
      {"x = 1; y == 1",
       R"([Assign { name: "x", value: Number(1) }, )"
       R"(Expr(BinaryOp { left: Identifier("y"), op: Equal, right: Number(1) })])"},
      {"x += 1 x -= 2 x *= 3 x /= 4",
       R"([CompoundAssign { name: "x", op: PlusAssign, value: Number(1) }, )"
       R"(CompoundAssign { name: "x", op: MinusAssign, value: Number(2) }, )"
       R"(CompoundAssign { name: "x", op: StarAssign, value: Number(3) }, )"
       R"(CompoundAssign { name: "x", op: SlashAssign, value: Number(4) }])"},
      {"x", R"([Expr(Identifier("x"))])"},
      {"def f(a, b,) { return a }",
       R"([Function { name: "f", params: ["a", "b"], body: [Return(Some(Identifier("a")))] }])"},
      {"def f(a b) { }", R"([Function { name: "f", params: ["a", "b"], body: [] }])"},
      {"def f() { return; }", R"([Function { name: "f", params: [], body: [Return(None)] }])"},
      {"return 0", "[Return(Some(Number(0)))]"},
      {"return", "[Return(None)]"},
      {"return; 1", "[Return(None), Expr(Number(1))]"},
      {"if x { 1 } else { 2 }",
       R"([If { condition: Identifier("x"), then_body: [Expr(Number(1))], )"
       R"(else_body: Some([Expr(Number(2))]) }])"},
      {"if x { }", R"([If { condition: Identifier("x"), then_body: [], else_body: None }])"},
      {"if x { } else { }",
       R"([If { condition: Identifier("x"), then_body: [], else_body: Some([]) }])"},
      {"if x { } else y = 1",
       R"([If { condition: Identifier("x"), then_body: [], else_body: None }, )"
       R"(Assign { name: "y", value: Number(1) }])"},
      {"if a { A } else if b { B } else { C }",
       R"([If { condition: Identifier("a"), then_body: [Expr(Identifier("A"))], else_body: None }, )"
       R"(If { condition: Identifier("b"), then_body: [Expr(Identifier("B"))], )"
       R"(else_body: Some([Expr(Identifier("C"))]) }])"},
      {"while i < 3 { i += 1 }",
       R"([While { condition: BinaryOp { left: Identifier("i"), op: Less, right: Number(3) }, )"
       R"(body: [CompoundAssign { name: "i", op: PlusAssign, value: Number(1) }] }])"},
      {"for i in 0..10 { }",
       R"([For { var: "i", iter: Range { start: Number(0), end: Number(10) }, body: [] }])"},
      {"while 1 { break; continue }", "[While { condition: Number(1), body: [Break, Continue] }]"},
      {"try { f() } catch e { g(e) }",
       R"([Try { body: [Expr(Call { name: "f", args: [] })], catch_var: "e", )"
       R"(catch_body: [Expr(Call { name: "g", args: [Identifier("e")] })] }])"},
      {"global g; global h", R"([Global("g"), Global("h")])"},
      {"use m", R"([Use { module: "m", alias: None, items: None }])"},
      {"use m;", R"([Use { module: "m", alias: None, items: None }])"},
      {"use m as n;", R"([Use { module: "m", alias: Some("n"), items: None }])"},
      {"use m as;", R"([Use { module: "m", alias: None, items: None }])"},
      {"use m { a, b }", R"([Use { module: "m", alias: None, items: Some(["a", "b"]) }])"},
      {"use m {}; x", R"([Use { module: "m", alias: None, items: Some([]) }, Expr(Identifier("x"))])"},
      {"use sdl2 f()",
       R"([Use { module: "sdl2", alias: None, items: None }, Expr(Call { name: "f", args: [] })])"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(rendered(c.source), c.expected) << c.source;
}

TEST(Parser, MatchArms) {
  const ParseCase cases[] = {
      {"match v { 1 => \"one\" _ => { f(v) } }",
       R"([Match { expr: Identifier("v"), arms: [(Value(Number(1)), [Expr(String("one"))]), )"
       R"((Wildcard, [Expr(Call { name: "f", args: [Identifier("v")] })])] }])"},
      {"match v { 1 => a; 2 => b; }",
       R"([Match { expr: Identifier("v"), arms: [(Value(Number(1)), [Expr(Identifier("a"))]), )"
       R"((Value(Number(2)), [Expr(Identifier("b"))])] }])"},
      {"match v { x y => 1 }",
       R"([Match { expr: Identifier("v"), arms: [(Value(Identifier("y")), [Expr(Number(1))])] }])"},
      {"match v { 1 => {} }", R"([Match { expr: Identifier("v"), arms: [(Value(Number(1)), [])] }])"},
      {"match v { }", R"([Match { expr: Identifier("v"), arms: [] }])"},
      {"match v { 1..3 => a }",
       R"([Match { expr: Identifier("v"), arms: [(Value(Range { start: Number(1), end: Number(3) }), )"
       R"([Expr(Identifier("a"))])] }])"},
      {"match v { 1 => a", R"([Match { expr: Identifier("v"), arms: [(Value(Number(1)), [Expr(Identifier("a"))])] }])"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(rendered(c.source), c.expected) << c.source;
}

TEST(Parser, MissingMandatoryTokensDropTheStatement) {
  const ParseCase cases[] = {
      {"def f(a", "[]"},
      {"def f(a) x", R"([Expr(Identifier("x"))])"},
      {"def (a) {}", R"([Expr(Identifier("a")), Expr(Dict([]))])"},
      {"let x 1", "[Expr(Number(1))]"},
      {"for 1 in x {}", R"([Expr(Number(1)), Expr(Identifier("x")), Expr(Dict([]))])"},
      {"for i x {}", R"([Expr(Identifier("x")), Expr(Dict([]))])"},
      {"while x", "[]"},
      {"if x y", R"([Expr(Identifier("y"))])"},
      {"global 1", "[Expr(Number(1))]"},
      {"use 1", "[Expr(Number(1))]"},
      {"match v 1", "[Expr(Number(1))]"},
      // No catch variable: parsing resumes at the `{`, an empty dictionary.
      {"try { } catch { }", "[Expr(Dict([]))]"},
      {"try { } x", R"([Expr(Identifier("x"))])"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(rendered(c.source), c.expected) << c.source;
}

TEST(Parser, BlocksCutShortOrFollowedBySemicolons) {
  const ParseCase cases[] = {
      {"while x { y", R"([While { condition: Identifier("x"), body: [Expr(Identifier("y"))] }])"},
      {"def f() { return", R"([Function { name: "f", params: [], body: [Return(None)] }])"},
      // A lone `;` is an expression statement of the missing operand 0.
      {";", "[Expr(Number(0))]"},
      {"if x { };", R"([If { condition: Identifier("x"), then_body: [], else_body: None }, Expr(Number(0))])"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(rendered(c.source), c.expected) << c.source;
}

// Where a rule cannot move past a token, the token is skipped: parsing
// always ends, and a statement that consumed nothing adds nothing.
TEST(Parser, StuckTokensAreSkipped) {
  const ParseCase cases[] = {
      {"a[0] = 1",
       R"([Expr(Index { object: Identifier("a"), index: Number(0) }), Expr(Number(1))])"},
      {"a.b = 1",
       R"([Expr(Index { object: Identifier("a"), index: String("b") }), Expr(Number(1))])"},
      {"{ x = 1 }", "[Expr(Dict([]))]"},
      {"{ \"k\": 1, b: 2 }", R"([Expr(Dict([("b", Number(2))]))])"},
      {"f(1;)", R"([Expr(Call { name: "f", args: [Number(1)] })])"},
      {"[1 = 2]", "[Expr(Array([Number(1), Number(2)]))]"},
      {"match v { 1 => a, 2 => b }",
       R"([Match { expr: Identifier("v"), arms: [(Value(Number(1)), [Expr(Identifier("a"))]), )"
       R"((Value(Number(2)), [Expr(Identifier("b"))])] }])"},
      {"use m { 1 }", R"([Use { module: "m", alias: None, items: Some([]) }])"},
      {"use m { a 1 , b }", R"([Use { module: "m", alias: None, items: Some(["a", "b"]) }])"},
      {"let = 1", "[Expr(Number(1))]"},
      {"x } y", R"([Expr(Identifier("x")), Expr(Identifier("y"))])"},
      {"if x { } } else { }",
       R"([If { condition: Identifier("x"), then_body: [], else_body: None }, Expr(Dict([]))])"},
      {") ] , : = += => -> ? else catch in as", "[]"},
      {"def f() { ) x }", R"([Function { name: "f", params: [], body: [Expr(Identifier("x"))] }])"},
  };
  for (const ParseCase &c : cases) EXPECT_EQ(rendered(c.source), c.expected) << c.source;

  std::string stray;
  for (int i = 0; i < 10000; ++i) stray += ") = ,";
  EXPECT_EQ(rendered(stray), "[]");
}

// Random token sequences: parsing ends, and never yields more statements
// than there are tokens.
TEST(Parser, ArbitraryTokenSequencesTerminate) {
  std::mt19937 rng(2024);
  for (int round = 0; round < 3000; ++round) {
    std::vector<Token> tokens;
    size_t length = rng() % 30;
    for (size_t i = 0; i < length; ++i) {
      auto kind = static_cast<TokenKind>(rng() % (kTokenKindCount - 1));
      Token token(kind);
      if (kind == TokenKind::Identifier) token.text.assign(1, rng() % 3 == 0 ? '_' : 'n');
      tokens.push_back(token);
    }
    tokens.emplace_back(TokenKind::Eof);
    std::vector<Stmt> program = parse_program(tokens);
    EXPECT_LE(program.size(), tokens.size());
    std::vector<Stmt> copy = copy_stmts(program);
    EXPECT_EQ(render_stmts(copy), render_stmts(program));
  }
}

// What a deep input does on this thread's stack: it either parses or is
// stopped by a Halt; it must never overflow the stack.
std::string parse_or_halt(const std::string &source) {
  try {
    std::vector<Stmt> program = parse(source);
    return "parsed " + std::to_string(program.size());
  } catch (const Halt &halt) {
    return halt.message;
  }
}

std::string nested(const std::string &open, const std::string &inner, const std::string &close,
                   int depth) {
  std::string out;
  out.reserve((open.size() + close.size()) * depth + inner.size());
  for (int i = 0; i < depth; ++i) out += open;
  out += inner;
  for (int i = 0; i < depth; ++i) out += close;
  return out;
}

const int kDeep = 100000;

std::vector<std::string> deep_inputs() {
  return {
      nested("(", "1", ")", kDeep),
      nested("[", "1", "]", kDeep),
      nested("-", "1", "", kDeep),
      nested("{a: ", "1", "}", kDeep),
      nested("f(", "1", ")", kDeep),
      nested("if 1 { ", "1", " }", kDeep),
      nested("match 1 { 1 => { ", "1", " } }", kDeep),
  };
}

TEST(Parser, DeepNestingParsesOrHaltsOnTheDefaultStack) {
  for (const std::string &source : deep_inputs()) {
    std::string outcome = parse_or_halt(source);
    EXPECT_TRUE(outcome == "parsed 1" || outcome == "Error: maximum recursion depth exceeded")
        << outcome << " for " << source.substr(0, 20);
  }
  // Moderate depth fits and keeps its shape.
  EXPECT_EQ(expr(nested("(", "7", ")", 500)), "Number(7)");
  EXPECT_EQ(expr(nested("[", "", "]", 3)), "Array([Array([Array([])])])");
  EXPECT_EQ(expr(nested("-", "1", "", 2)),
            "UnaryOp { op: Minus, operand: UnaryOp { op: Minus, operand: Number(1) } }");
}

// On the stack the driver gives the interpreter, the same inputs parse.
TEST(Parser, DeepNestingParsesOnALargeStack) {
  struct Job {
    std::vector<std::string> outcomes;
  } job;
  auto run = [](void *arg) -> void * {
    auto *j = static_cast<Job *>(arg);
    // The stack guard reads this thread's own bounds on its first check.
    for (const std::string &source : deep_inputs()) j->outcomes.push_back(parse_or_halt(source));
    return nullptr;
  };
  pthread_attr_t attr;
  ASSERT_EQ(pthread_attr_init(&attr), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attr, size_t{1} << 30), 0);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, run, &job), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
  ASSERT_EQ(job.outcomes.size(), deep_inputs().size());
  for (const std::string &outcome : job.outcomes) EXPECT_EQ(outcome, "parsed 1");
}

// A long operator chain is built by the level's loop, not by recursion.
TEST(Parser, MillionTermChainParses) {
  const int terms = 1000000;
  std::string source = "1";
  source.reserve(terms * 2);
  for (int i = 1; i < terms; ++i) source += "+1";
  std::vector<Stmt> program = parse(source);
  ASSERT_EQ(program.size(), 1u);
  int depth = 0;
  const Expr *e = &program[0].expr;
  while (e->kind == ExprKind::BinaryOp) {
    EXPECT_EQ(e->right->kind, ExprKind::Number);
    e = e->left.get();
    ++depth;
  }
  EXPECT_EQ(depth, terms - 1);
}

// Not a timing assertion: a sanity run over a large, realistic script that
// prints its rate so a regression is visible in the log.
TEST(Parser, ThroughputSanity) {
  const std::string chunk =
      "# a comment line\n"
      "def step(xs, n) {\n"
      "  let total = 0\n"
      "  for i in 0..n { total += xs[i] * 2 ** i % 7; if total > 100 { break } }\n"
      "  match total { 0 => \"none\" _ => { print(\"got \" + str(total)) } }\n"
      "  return {sum: total, mean: total / 1.5, names: [\"a\", \"b\"]}\n"
      "}\n"
      "sdl2.draw_line(1, 2, 3, 4); xs[0].push(step([1, 2, 3], 3).sum)\n";
  std::string source;
  const int copies = 5000;
  for (int i = 0; i < copies; ++i) source += chunk;
  auto start = std::chrono::steady_clock::now();
  std::vector<Token> tokens = tokenize(source);
  auto scanned = std::chrono::steady_clock::now();
  std::vector<Stmt> program = parse_program(tokens);
  auto parsed = std::chrono::steady_clock::now();
  EXPECT_EQ(program.size(), static_cast<size_t>(copies) * 3);
  EXPECT_EQ(tokens.size() % copies, 1u);
  auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::cout << "[ info     ] " << source.size() / 1e6 << " MB, " << tokens.size()
            << " tokens: scan " << ms(scanned - start) << " ms, parse " << ms(parsed - scanned)
            << " ms\n";
}

} // namespace
} // namespace tovik
