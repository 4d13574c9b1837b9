// The execution tree: what the interpreter runs.
//
// Compiled from the syntax tree once per program, module, interactive input
// and function definition (compile.h). Each node keeps the parts of its
// syntax node the evaluator reads, plus what is decided before it first
// runs: the evaluator or executor for its kind and operand shapes, a
// literal's value and key hash, what a call's name denotes. A function
// definition holds its function value, whose body is the compiled body, so
// every execution of the definition and every copy of the value share it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "interpreter/value.h"
#include "lexer/symbol.h"
#include "lexer/token.h"
#include "parser/ast.h"

namespace tovik {

struct Interpreter;
struct ExecExpr;
struct ExecStmt;
class MatchTable;

// How a statement ended. Anything but Normal stops every enclosing block
// until what it is meant for takes it: a loop takes Break and Continue, a
// call takes Return (whose value waits in Interpreter::return_value; a
// returned Error is what a `try` catches).
enum class Completion : uint8_t { Normal, Break, Continue, Return };

// The code that evaluates one node or runs one statement. Compiling chooses
// it; evaluate_first and execute_first choose on first use for a node built
// some other way.
// An evaluator hands its value over as a ValueTransfer, in registers;
// evaluators are written as functions returning Value and stored through
// `evaluator_of`.
using Evaluator = ValueTransfer (*)(Interpreter &, const ExecExpr &);
using Executor = Completion (*)(Interpreter &, const ExecStmt &);
template <Value (*Evaluate)(Interpreter &, const ExecExpr &)>
ValueTransfer evaluator_of(Interpreter &interp, const ExecExpr &expr) {
  return Evaluate(interp, expr).release();
}
ValueTransfer evaluate_first(Interpreter &interp, const ExecExpr &expr);
Completion execute_first(Interpreter &interp, const ExecStmt &stmt);
// Whether a condition (of `if` or `while`) holds: a comparison answers
// without making a Boolean value; anything else is evaluated and tested.
using Condition = bool (*)(Interpreter &, const ExecExpr &);
bool test_first(Interpreter &interp, const ExecExpr &expr);

// A literal dictionary's key, with its hash computed once.
struct ExecDictKey {
  std::string text;
  uint64_t hash = 0;
};
using ExecDictEntry = std::pair<ExecDictKey, ExecExpr>;

// An operator as running code needs it: its kind, and where it was written
// for messages about it. A token's payload fields would triple a node's
// size for nothing.
struct ExecOp {
  TokenKind kind = TokenKind::Eof;
  uint32_t line = 0;
  uint32_t column = 0;
};

// What a `use` statement names besides the module; kept apart, as only that
// statement has it.
struct ExecUse {
  std::optional<std::string> alias;
  std::optional<std::vector<std::string>> items;
};

struct ExecExpr {
  ExprKind kind = ExprKind::Number;
  // The syntax node's position, for messages about this node; kept in what
  // would be padding.
  uint32_t line = 0;
  int64_t number = 0;
  double real = 0.0;
  bool boolean = false;
  // The longest path down to a leaf (0 for a leaf), saturating; set when
  // the node is compiled. Unknown counts as tall. An operator low enough
  // leaves the stack check to the nodes above it (see choose_evaluator).
  uint16_t height = UINT16_MAX;
  uint32_t column = 0;
  std::string text;
  ExecOp op;
  std::unique_ptr<ExecExpr> left;
  std::unique_ptr<ExecExpr> right;
  std::vector<ExecExpr> items;
  std::vector<ExecDictEntry> entries;
  Symbol symbol = 0;

  // Set when the node is compiled (or on first use); the evaluator's
  // choosers take the node as it is read, hence mutable.
  mutable Value constant;        // literals: the value; Dict: its layout
  mutable uint64_t key_hash = 0; // String: the text's hash, for dictionary keys
  mutable int16_t callee = -1;   // Call: what the name denotes (see call.cpp)
  mutable Evaluator evaluator = evaluate_first;
  mutable Evaluator checked = nullptr; // what a stack-checking evaluator runs
  mutable Condition condition = test_first; // when the node is a condition

  ExecExpr() = default;
  explicit ExecExpr(ExprKind k) : kind(k) {}
  ExecExpr(ExecExpr &&) noexcept = default;
  ExecExpr &operator=(ExecExpr &&) noexcept = default;
  ExecExpr(const ExecExpr &) = delete;
  ExecExpr &operator=(const ExecExpr &) = delete;
  // Destroys deep subtrees without deep recursion.
  ~ExecExpr();
};

struct ExecPattern {
  PatternKind kind = PatternKind::Wildcard;
  ExecExpr value; // Value
};

struct ExecArm {
  ExecPattern pattern;
  std::vector<ExecStmt> body;
};

struct ExecStmt {
  StmtKind kind = StmtKind::Expr;
  uint32_t line = 0; // the syntax node's position
  uint32_t column = 0;
  std::string name;
  Symbol symbol = 0;
  ExecOp op;
  ExecExpr expr;
  bool has_expr = false;
  std::vector<ExecStmt> body; // If then_body, While, For, Try body; a
                              // Function's body is in function_value
  std::vector<ExecStmt> else_body;
  bool has_else = false;
  std::vector<ExecArm> arms;
  // Match: the literal arms' dispatch table, when they are many enough.
  std::shared_ptr<const MatchTable> match_table;
  std::unique_ptr<const ExecUse> use; // Use only

  // Function: the value every execution of the definition binds.
  Value function_value;
  mutable Executor executor = execute_first;

  ExecStmt() = default;
  explicit ExecStmt(StmtKind k) : kind(k) {}
  ExecStmt(ExecStmt &&) noexcept = default;
  ExecStmt &operator=(ExecStmt &&) noexcept = default;
  ExecStmt(const ExecStmt &) = delete;
  ExecStmt &operator=(const ExecStmt &) = delete;
  // Destroys deeply nested bodies without deep recursion.
  ~ExecStmt();
};

} // namespace tovik
