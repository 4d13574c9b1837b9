// Which code each shape of node is given. The reference build and -w must
// get one and the same general code for every node (there is one definition
// of the language), and the shapes with specialisations must get them when
// fast code may be chosen: a specialisation lost in a change would show
// nowhere else but in the time a program takes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter/compile.h"
#include "interpreter/evaluation_mode.h"
#include "interpreter/interpreter.h"
#include "lexer/scanner.h"
#include "parser/parser.h"

namespace tovik {
namespace {

enum class Mode { Fast, Reference, Warnings };

// Sets the process-wide switches for one choice, and puts them back.
class ModeScope {
public:
  explicit ModeScope(Mode mode)
      : reference_(reference_mode), warnings_(warnings_enabled) {
    reference_mode = mode == Mode::Reference;
    warnings_enabled = mode == Mode::Warnings;
  }
  ~ModeScope() {
    reference_mode = reference_;
    warnings_enabled = warnings_;
  }

private:
  bool reference_, warnings_;
};

// The statements of `source`, compiled afresh for each choice, since a
// choice may prepare the node it looks at.
std::vector<ExecStmt> compiled(const std::string &source) {
  return compile_program(parse_program(tokenize(source)));
}

Evaluator evaluator_for(const std::string &expression, Mode mode) {
  std::vector<ExecStmt> program = compiled("r = " + expression);
  ModeScope scope(mode);
  return choose_evaluator(program.at(0).expr);
}

Executor executor_for(const std::string &statement, Mode mode) {
  std::vector<ExecStmt> program = compiled(statement);
  ModeScope scope(mode);
  return choose_executor(program.at(0));
}

// One expression of each kind, and the shapes the choosers tell apart.
const std::vector<std::string> kExpressions = {
    "1", "2.5", "\"t\"", "true", "a", "a + b", "a + 1", "1 + a", "a < b",
    "x % 2 == 0", "t + i * j", "(a + b) * (c - d)", "-a", "not a", "d.key",
    "xs[i]", "xs[0]", "d[k]", "e.next.val", "[a, b]", "{a: 1, b: 2}",
    "{a: 1, a: 2}", "0..n", "len(a)", "f(a, b)", "m.f(a)", "set(d, \"k\", 1)",
    "sdl2.init()"};

const std::vector<std::string> kStatements = {
    "x = 1", "x = y", "x = x + t", "x = push(x, 1)", "x = len(y)", "x += 1",
    "x -= y", "x *= 2", "x /= y", "if a < b { }", "while a { }",
    "for i in 0..3 { }", "match a { 1 => { } }"};

TEST(EvaluatorChoice, TheReferenceBuildAndWarningsGetTheSameGeneralCode) {
  for (const std::string &e : kExpressions)
    EXPECT_EQ(evaluator_for(e, Mode::Reference), evaluator_for(e, Mode::Warnings))
        << e;
  for (const std::string &s : kStatements)
    EXPECT_EQ(executor_for(s, Mode::Reference), executor_for(s, Mode::Warnings)) << s;
}

TEST(EvaluatorChoice, SpecialisedShapesGetCodeOfTheirOwn) {
  const std::vector<std::string> specialised = {
      "a + b", "a + 1", "a < b", "x % 2 == 0", "t + i * j", "d.key", "xs[i]",
      "xs[0]", "{a: 1, b: 2}", "len(a)", "f(a, b)", "set(d, \"k\", 1)"};
  for (const std::string &e : specialised)
    EXPECT_NE(evaluator_for(e, Mode::Fast), evaluator_for(e, Mode::Reference)) << e;
  // Shapes told apart get different code, not one specialisation for all.
  EXPECT_NE(evaluator_for("a + b", Mode::Fast), evaluator_for("a + 1", Mode::Fast));
  EXPECT_NE(evaluator_for("a + 1", Mode::Fast), evaluator_for("a - 1", Mode::Fast));
  EXPECT_NE(evaluator_for("d.key", Mode::Fast), evaluator_for("xs[i]", Mode::Fast));
  EXPECT_NE(evaluator_for("{a: 1, b: 2}", Mode::Fast),
            evaluator_for("{a: 1, a: 2}", Mode::Fast));
  for (const char *s : {"x = x + t", "x = push(x, 1)", "x = set(x, i, v)", "x += 1",
                        "x -= y"})
    EXPECT_NE(executor_for(s, Mode::Fast), executor_for(s, Mode::Reference)) << s;
  EXPECT_NE(executor_for("x += 1", Mode::Fast), executor_for("x += y", Mode::Fast));
  // An update through the library reads its other arguments where they lie
  // only when they are leaves other than x.
  EXPECT_NE(executor_for("x = set(x, i, v)", Mode::Fast),
            executor_for("x = set(x, i, f(v))", Mode::Fast));
  EXPECT_NE(executor_for("x = set(x, i, v)", Mode::Fast),
            executor_for("x = set(x, i, x)", Mode::Fast));
}

TEST(EvaluatorChoice, ShapesWithoutSpecialisationShareTheGeneralCode) {
  for (const char *e : {"[a, b]", "0..n", "{a: 1, a: 2}", "1", "\"t\""})
    EXPECT_EQ(evaluator_for(e, Mode::Fast), evaluator_for(e, Mode::Reference)) << e;
  for (const char *s : {"if a < b { }", "while a { }", "for i in 0..3 { }"})
    EXPECT_EQ(executor_for(s, Mode::Fast), executor_for(s, Mode::Reference)) << s;
}

} // namespace
} // namespace tovik
