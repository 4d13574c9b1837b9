// Walks over the syntax tree shared by the checks.
#pragma once

#include <vector>

#include "parser/ast.h"
#include "support/halt.h"

namespace tovik {

// Calls visit(e) for `root` and every expression inside it. An explicit
// stack, not recursion: a sum of ten million terms is one deep chain.
template <typename Visit> void for_each_expr(const Expr &root, Visit &&visit) {
  std::vector<const Expr *> pending{&root};
  while (!pending.empty()) {
    const Expr &e = *pending.back();
    pending.pop_back();
    visit(e);
    if (e.right) pending.push_back(e.right.get());
    if (e.left) pending.push_back(e.left.get());
    for (auto it = e.entries.rbegin(); it != e.entries.rend(); ++it)
      pending.push_back(&it->second);
    for (auto it = e.items.rbegin(); it != e.items.rend(); ++it) pending.push_back(&*it);
  }
}

// Calls visit(s) for each statement of `list` and of the blocks inside it
// that run in the same scope: `if`, loops, `match` arms, `try` and `catch`,
// but not the bodies of definitions, which run when called.
template <typename Visit> void for_each_in_scope(const std::vector<Stmt> &list, Visit &&visit) {
  for (const Stmt &s : list) {
    check_stack();
    visit(s);
    if (s.kind == StmtKind::Function) continue;
    for_each_in_scope(s.body, visit);
    for_each_in_scope(s.else_body, visit);
    for (const MatchArm &arm : s.arms) for_each_in_scope(arm.body, visit);
  }
}

// The expressions a statement evaluates itself (not those of its blocks).
template <typename Visit> void for_each_own_expr(const Stmt &s, Visit &&visit) {
  bool has_expr = s.kind == StmtKind::Let || s.kind == StmtKind::Assign ||
                  s.kind == StmtKind::CompoundAssign || s.kind == StmtKind::If ||
                  s.kind == StmtKind::While || s.kind == StmtKind::For ||
                  s.kind == StmtKind::Match || s.kind == StmtKind::Expr ||
                  (s.kind == StmtKind::Return && s.has_expr);
  if (has_expr) visit(s.expr);
  for (const MatchArm &arm : s.arms)
    if (arm.pattern.kind == PatternKind::Value) visit(arm.pattern.value);
}

} // namespace tovik
