#include "interpreter/exec_tree.h"

#include <new>

namespace tovik {

namespace {

// Frees the operand chain under `root` without recursing along it and
// without allocating (a destructor may run while memory is exhausted): a
// node with a left operand is rotated until it has none, then freed. Only
// argument and element lists recurse, as deep as the source's nesting that
// the parser's guarded recursion allowed.
void free_operand_chain(std::unique_ptr<ExecExpr> root) {
  while (root) {
    if (root->left) {
      std::unique_ptr<ExecExpr> up = std::move(root->left);
      root->left = std::move(up->right);
      up->right = std::move(root);
      root = std::move(up);
    } else {
      std::unique_ptr<ExecExpr> next = std::move(root->right);
      root.reset();
      root = std::move(next);
    }
  }
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
  if (left) free_operand_chain(std::move(left));
  if (right) free_operand_chain(std::move(right));
}

// When the work list cannot grow (memory is exhausted) the rest goes by plain
// recursion, as deep as the parser's guarded recursion let blocks nest: a
// failed push leaves the child where it was.
ExecStmt::~ExecStmt() {
  if (!has_children(*this)) return;
  try {
    std::vector<ExecStmt> work;
    take_children(*this, work);
    while (!work.empty()) {
      ExecStmt s = std::move(work.back());
      work.pop_back();
      take_children(s, work);
    }
  } catch (const std::bad_alloc &) {
  }
}

} // namespace tovik
