#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "interpreter/compile.h"
#include "interpreter/function.h"
#include "interpreter/interpreter.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/halt.h"

namespace tovik {
namespace {

std::vector<Stmt> parsed(std::string_view source) {
  return parse_program(tokenize(source));
}

// Counts the nodes under `stmts` (function bodies included) whose code is
// still to be chosen on first use.
struct Unchosen {
  size_t exprs = 0;
  size_t stmts = 0;
  size_t visited = 0;

  void expr(const ExecExpr &e) {
    ++visited;
    if (e.evaluator == evaluate_first) ++exprs;
    if (e.left) expr(*e.left);
    if (e.right) expr(*e.right);
    for (const ExecExpr &item : e.items) expr(item);
    for (const ExecDictEntry &entry : e.entries) expr(entry.second);
  }
  void block(const std::vector<ExecStmt> &block) {
    for (const ExecStmt &s : block) stmt(s);
  }
  void stmt(const ExecStmt &s) {
    ++visited;
    if (s.executor == execute_first) ++stmts;
    expr(s.expr);
    block(s.body);
    block(s.else_body);
    for (const ExecArm &arm : s.arms) {
      expr(arm.pattern.value);
      block(arm.body);
    }
    if (s.function_value.is(ValueKind::Function))
      block(s.function_value.as_function().body);
  }
};

TEST(Compile, ChoosesEveryNodesCodeBeforeItRuns) {
  std::vector<ExecStmt> program = compile_program(parsed(R"(
    let d = {a: [1, 2.5, "t"], b: -x}
    def f(p, q) {
      if p < q { return d.a[0] + p } else { while true { break } }
      for i in 0..3 { q += i }
      match q { 1 => print("one") _ => print(g(q, 2)) }
      try { return m.h() } catch e { return e }
    }
    x = push(x, f(1, 2))
  )"));
  Unchosen unchosen;
  unchosen.block(program);
  EXPECT_EQ(unchosen.exprs, 0u);
  EXPECT_EQ(unchosen.stmts, 0u);
  // The walk reached into the function's body and the match's arms.
  EXPECT_GT(unchosen.visited, 50u);
}

TEST(Compile, ADefinitionBindsTheOneValueMadeWhenCompiled) {
  std::vector<ExecStmt> program =
      compile_program(parsed("def f(a, b) { return a - b }"));
  ASSERT_EQ(program.size(), 1u);
  const Value &made = program[0].function_value;
  ASSERT_TRUE(made.is(ValueKind::Function));
  const FunctionObject &function = made.as_function();
  EXPECT_EQ(function.params, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(function.param_symbols,
            (std::vector<Symbol>{intern("a"), intern("b")}));
  ASSERT_EQ(function.body.size(), 1u);
  EXPECT_EQ(function.body[0].kind, StmtKind::Return);
  // The debug form still shows the body as written.
  EXPECT_EQ(render_stmts(*function.source), "[Return(Some(BinaryOp { left: "
            "Identifier(\"a\"), op: Minus, right: Identifier(\"b\") }))]");

  Interpreter interp;
  for (int i = 0; i < 3; ++i) {
    execute(interp, program[0]);
    const Value *bound = find_variable(interp, intern("f"));
    ASSERT_NE(bound, nullptr);
    EXPECT_EQ(bound->object(), made.object());
  }
  Value args[] = {Value::number(7), Value::number(2)};
  Value result = call_user_function(interp, function, args);
  ASSERT_TRUE(result.is(ValueKind::Number));
  EXPECT_EQ(result.as_number(), 5);
}

// A chain like 1+1+...+1 is as deep as it is long; compiling and dropping
// it must not recurse per level (a million frames would overrun the stack).
TEST(Compile, LongOperatorChainsCompileAndDropWithoutRecursion) {
  constexpr size_t kTerms = 1000000;
  std::string source = "def f() { return 1";
  for (size_t i = 1; i < kTerms; ++i) source += "+1";
  source += " }";
  std::vector<ExecStmt> program;
  try {
    program = compile_program(parsed(source));
  } catch (const Halt &halt) {
    FAIL() << halt.message;
  }
  ASSERT_EQ(program.size(), 1u);
  const FunctionObject &f = program[0].function_value.as_function();
  ASSERT_EQ(f.body.size(), 1u);
  size_t depth = 0;
  for (const ExecExpr *e = &f.body[0].expr; e->left; e = e->left.get()) {
    EXPECT_EQ(e->right->kind, ExprKind::Number);
    ++depth;
  }
  EXPECT_EQ(depth, kTerms - 1);
}

// Messages about a running node need the place it was written.
TEST(Compile, NodesKeepTheirSourcePositions) {
  std::vector<ExecStmt> program = compile_program(parsed("let a = 1\n  if a {\n    f(a, 2)\n  }"));
  ASSERT_EQ(program.size(), 2u);
  EXPECT_EQ(program[1].line, 2u);
  EXPECT_EQ(program[1].column, 3u);
  ASSERT_EQ(program[1].body.size(), 1u);
  const ExecExpr &call = program[1].body[0].expr;
  ASSERT_EQ(call.items.size(), 2u);
  EXPECT_EQ(call.line, 3u);
  EXPECT_EQ(call.column, 5u);
  EXPECT_EQ(call.items[1].line, 3u);
  EXPECT_EQ(call.items[1].column, 10u);
}

} // namespace
} // namespace tovik
