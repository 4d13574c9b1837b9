// The syntax tree: statements, expressions and match patterns.
//
// A strict ownership tree: every node owns its children, nothing is shared,
// there are no parent links. Each node is a plain record with a `kind` tag
// and the fields its variants use; the comment beside a field names the
// variants that use it. Dispatch with `switch (node.kind)`. The tree is
// plain data: the interpreter compiles it into a tree of its own to run.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "lexer/symbol.h"
#include "lexer/token.h"

namespace tovik {

enum class ExprKind : uint8_t {
  Number,
  Float,
  String,
  Boolean,
  Identifier,
  BinaryOp,
  UnaryOp,
  Call,
  Array,
  Dict,
  Index,
  Range,
};

struct Expr;
using DictEntry = std::pair<std::string, Expr>;

struct Expr {
  ExprKind kind = ExprKind::Number;
  // Where the node's first token starts (1-based; 0 when made by code).
  // Kept in what would be padding, so positions cost a node no space.
  uint32_t line = 0;
  int64_t number = 0;          // Number
  double real = 0.0;           // Float
  bool boolean = false;        // Boolean
  uint32_t column = 0;
  std::string text;            // String (value), Identifier (name), Call (name)
  Token op;                    // BinaryOp, UnaryOp
  std::unique_ptr<Expr> left;  // BinaryOp left, UnaryOp operand, Index object, Range start
  std::unique_ptr<Expr> right; // BinaryOp right, Index index, Range end
  std::vector<Expr> items;     // Call args, Array elements
  std::vector<DictEntry> entries; // Dict
  Symbol symbol = 0;           // Identifier and Call: the interned name

  Expr() = default;
  explicit Expr(ExprKind k) : kind(k) {}
  Expr(Expr &&) noexcept = default;
  Expr &operator=(Expr &&) noexcept = default;
  Expr(const Expr &) = delete;
  Expr &operator=(const Expr &) = delete;
  // Destroys deep subtrees without deep recursion.
  ~Expr();
};

enum class StmtKind : uint8_t {
  Let,
  Assign,
  CompoundAssign,
  Function,
  If,
  While,
  For,
  Match,
  Try,
  Return,
  Break,
  Continue,
  Global,
  Use,
  Expr,
};

enum class PatternKind : uint8_t { Value, Wildcard };

struct Stmt;

struct Pattern {
  PatternKind kind = PatternKind::Wildcard;
  Expr value; // Value
};

struct MatchArm {
  Pattern pattern;
  std::vector<Stmt> body;
};

struct Stmt {
  StmtKind kind = StmtKind::Expr;
  uint32_t line = 0;   // where the statement's first token starts
  uint32_t column = 0;
  std::string name;   // Let, Assign, CompoundAssign, Function, For (var),
                      // Global, Use (module), Try (catch_var)
  Symbol symbol = 0;  // the interned `name`
  Token op;           // CompoundAssign
  Expr expr;          // Let/Assign/CompoundAssign value, If/While condition,
                      // For iter, Match expr, Return payload, Expr payload
  bool has_expr = false;              // Return: false for a bare `return`
  std::vector<std::string> params;    // Function
  std::vector<Stmt> body;             // Function, If then_body, While, For,
                                      // Try body
  std::vector<Stmt> else_body;        // If else_body, Try catch_body
  bool has_else = false;              // If: else_body present
  std::vector<MatchArm> arms;         // Match
  std::optional<std::string> alias;   // Use
  std::optional<std::vector<std::string>> items; // Use

  Stmt() = default;
  explicit Stmt(StmtKind k) : kind(k) {}
  Stmt(Stmt &&) noexcept = default;
  Stmt &operator=(Stmt &&) noexcept = default;
  Stmt(const Stmt &) = delete;
  Stmt &operator=(const Stmt &) = delete;
  // Destroys deeply nested bodies without deep recursion.
  ~Stmt();
};

// Deep copies.
Expr copy_expr(const Expr &expr);
Stmt copy_stmt(const Stmt &stmt);
std::vector<Stmt> copy_stmts(const std::vector<Stmt> &stmts);

// Debug rendering, e.g. `let x = a + 1;` renders as
// Let { name: "x", value: BinaryOp { left: Identifier("a"), op: Plus,
// right: Number(1) } }
std::string render_expr(const Expr &expr);
std::string render_stmt(const Stmt &stmt);
std::string render_stmts(const std::vector<Stmt> &stmts);
void append_expr(std::string &out, const Expr &expr);
void append_stmt(std::string &out, const Stmt &stmt);
void append_stmts(std::string &out, const std::vector<Stmt> &stmts);

} // namespace tovik
