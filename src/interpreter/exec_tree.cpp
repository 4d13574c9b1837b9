#include "interpreter/exec_tree.h"

namespace tovik {

namespace {

bool has_children(const ExecExpr &e) {
  return e.left || e.right || !e.items.empty() || !e.entries.empty();
}

// Moves the children of `e` onto `work`, leaving `e` a leaf.
void take_children(ExecExpr &e, std::vector<ExecExpr> &work) {
  if (e.left) {
    work.push_back(std::move(*e.left));
    e.left.reset();
  }
  if (e.right) {
    work.push_back(std::move(*e.right));
    e.right.reset();
  }
  for (ExecExpr &item : e.items) work.push_back(std::move(item));
  e.items.clear();
  for (ExecDictEntry &entry : e.entries)
    work.push_back(std::move(entry.second));
  e.entries.clear();
}

bool has_children(const ExecStmt &s) {
  return !s.body.empty() || !s.else_body.empty() || !s.arms.empty();
}

void take_children(ExecStmt &s, std::vector<ExecStmt> &work) {
  for (ExecStmt &child : s.body) work.push_back(std::move(child));
  s.body.clear();
  for (ExecStmt &child : s.else_body) work.push_back(std::move(child));
  s.else_body.clear();
  for (ExecArm &arm : s.arms)
    for (ExecStmt &child : arm.body) work.push_back(std::move(child));
  s.arms.clear();
}

} // namespace

// A chain like 1+1+...+1 with a million terms is a million levels deep;
// the default destructor would recurse once per level.
ExecExpr::~ExecExpr() {
  if (!has_children(*this)) return;
  std::vector<ExecExpr> work;
  take_children(*this, work);
  while (!work.empty()) {
    ExecExpr e = std::move(work.back());
    work.pop_back();
    take_children(e, work);
  }
}

ExecStmt::~ExecStmt() {
  if (!has_children(*this)) return;
  std::vector<ExecStmt> work;
  take_children(*this, work);
  while (!work.empty()) {
    ExecStmt s = std::move(work.back());
    work.pop_back();
    take_children(s, work);
  }
}

} // namespace tovik
