#include "interpreter/compile.h"

#include <algorithm>

#include "interpreter/function.h"
#include "interpreter/interpreter.h"
#include "interpreter/match_table.h"
#include "interpreter/evaluation_mode.h"
#include "interpreter/warnings.h"
#include "support/halt.h"
#include "support/hash.h"

namespace tovik {

namespace {

// One node without its children; they are queued on `work` with the places
// made for them.
using ExprWork = std::vector<std::pair<const Expr *, ExecExpr *>>;

void compile_node(const Expr &from, ExecExpr &to, ExprWork &work) {
  to.kind = from.kind;
  to.line = from.line;
  to.column = from.column;
  to.number = from.number;
  to.real = from.real;
  to.boolean = from.boolean;
  to.text = from.text;
  to.op = {from.op.kind, from.op.line, from.op.column};
  to.symbol = from.symbol;
  if (from.left) {
    to.left = std::make_unique<ExecExpr>();
    work.emplace_back(from.left.get(), to.left.get());
  }
  if (from.right) {
    to.right = std::make_unique<ExecExpr>();
    work.emplace_back(from.right.get(), to.right.get());
  }
  // Sized before any child is queued, so the queued places stay put.
  to.items.resize(from.items.size());
  for (size_t i = 0; i < from.items.size(); ++i)
    work.emplace_back(&from.items[i], &to.items[i]);
  to.entries.resize(from.entries.size());
  for (size_t i = 0; i < from.entries.size(); ++i) {
    const std::string &key = from.entries[i].first;
    to.entries[i].first = {key, hash_text(key)};
    work.emplace_back(&from.entries[i].second, &to.entries[i].second);
  }
}

// The syntax tree that the function values made here point into.
using SyntaxOwner = std::shared_ptr<const std::vector<Stmt>>;

std::vector<ExecStmt> compile_block(const std::vector<Stmt> &stmts,
                                    const SyntaxOwner &owner);

ExecStmt compile_stmt(const Stmt &from, const SyntaxOwner &owner) {
  // Statements nest only as deep as the parser recursed to build them.
  check_stack();
  ExecStmt to(from.kind);
  to.line = from.line;
  to.column = from.column;
  to.name = from.name;
  to.symbol = from.symbol;
  to.op = {from.op.kind, from.op.line, from.op.column};
  to.expr = compile_expr(from.expr);
  to.has_expr = from.has_expr;
  to.has_else = from.has_else;
  to.else_body = compile_block(from.else_body, owner);
  to.arms.reserve(from.arms.size());
  for (const MatchArm &arm : from.arms) {
    ExecArm compiled;
    compiled.pattern.kind = arm.pattern.kind;
    compiled.pattern.value = compile_expr(arm.pattern.value);
    compiled.body = compile_block(arm.body, owner);
    to.arms.push_back(std::move(compiled));
  }
  // A table of literal arms is a shortcut past trying each arm in turn.
  if (from.kind == StmtKind::Match && !general_evaluators_only())
    to.match_table = MatchTable::build(to.arms);
  if (from.kind == StmtKind::Use)
    to.use = std::make_unique<const ExecUse>(ExecUse{from.alias, from.items});
  if (from.kind == StmtKind::Function) {
    to.function_value =
        make_function(from.params, SyntaxOwner(owner, &from.body),
                      compile_block(from.body, owner));
    if (warnings_enabled) note_function_source(to.function_value);
  } else
    to.body = compile_block(from.body, owner);
  to.executor = choose_executor(to);
  return to;
}

std::vector<ExecStmt> compile_block(const std::vector<Stmt> &stmts,
                                    const SyntaxOwner &owner) {
  std::vector<ExecStmt> out;
  out.reserve(stmts.size());
  for (const Stmt &s : stmts) out.push_back(compile_stmt(s, owner));
  return out;
}

} // namespace

// Without recursion: an operator chain is as deep as it is long.
ExecExpr compile_expr(const Expr &expr) {
  ExecExpr root;
  ExprWork work{{&expr, &root}};
  std::vector<ExecExpr *> made;
  while (!work.empty()) {
    auto [from, to] = work.back();
    work.pop_back();
    compile_node(*from, *to, work);
    made.push_back(to);
  }
  // Children first: an operator's chooser looks at its operands and its
  // height.
  for (auto it = made.rbegin(); it != made.rend(); ++it) {
    ExecExpr &e = **it;
    uint32_t below = 0;
    auto reach = [&below](const ExecExpr &child) {
      below = std::max<uint32_t>(below, child.height + 1u);
    };
    if (e.left) reach(*e.left);
    if (e.right) reach(*e.right);
    for (const ExecExpr &item : e.items) reach(item);
    for (const ExecDictEntry &entry : e.entries) reach(entry.second);
    e.height = static_cast<uint16_t>(std::min<uint32_t>(below, UINT16_MAX - 1));
    e.evaluator = choose_evaluator(e);
  }
  return root;
}

std::vector<ExecStmt> compile_program(std::vector<Stmt> syntax) {
  auto owner = std::make_shared<const std::vector<Stmt>>(std::move(syntax));
  return compile_block(*owner, owner);
}

} // namespace tovik
