#include "parser/ast.h"

#include <new>

#include "lexer/debug_text.h"
#include "support/halt.h"

namespace tovik {

namespace {

// Frees the operand chain under `root` without recursing along it and
// without allocating (a destructor may run while memory is exhausted): a
// node with a left operand is rotated until it has none, then freed. Each
// node is freed with both operands gone, so only its argument and element
// lists recurse, and those are as deep as the parser's guarded recursion
// made them.
void free_operand_chain(std::unique_ptr<Expr> root) {
  while (root) {
    if (root->left) {
      std::unique_ptr<Expr> up = std::move(root->left);
      root->left = std::move(up->right);
      up->right = std::move(root);
      root = std::move(up);
    } else {
      std::unique_ptr<Expr> next = std::move(root->right);
      root.reset();
      root = std::move(next);
    }
  }
}

bool has_children(const Stmt &s) {
  return !s.body.empty() || !s.else_body.empty() || !s.arms.empty();
}

void take_children(Stmt &s, std::vector<Stmt> &work) {
  for (Stmt &child : s.body) work.push_back(std::move(child));
  s.body.clear();
  for (Stmt &child : s.else_body) work.push_back(std::move(child));
  s.else_body.clear();
  for (MatchArm &arm : s.arms)
    for (Stmt &child : arm.body) work.push_back(std::move(child));
  s.arms.clear();
}

} // namespace

// A chain like 1+1+...+1 with a million terms is a million levels deep;
// the default destructor would recurse once per level.
Expr::~Expr() {
  if (left) free_operand_chain(std::move(left));
  if (right) free_operand_chain(std::move(right));
}

// Statements nest only through blocks, which the parser enters by guarded
// recursion; the work list keeps their release flat all the same. When the
// list cannot grow (memory is exhausted) the rest goes by plain recursion:
// a failed push leaves the child where it was.
Stmt::~Stmt() {
  if (!has_children(*this)) return;
  try {
    std::vector<Stmt> work;
    take_children(*this, work);
    while (!work.empty()) {
      Stmt s = std::move(work.back());
      work.pop_back();
      take_children(s, work);
    }
  } catch (const std::bad_alloc &) {
  }
}

// Without recursion: an operator chain is as deep as it is long.
Expr copy_expr(const Expr &expr) {
  Expr root;
  std::vector<std::pair<const Expr *, Expr *>> work{{&expr, &root}};
  while (!work.empty()) {
    auto [from, to] = work.back();
    work.pop_back();
    to->kind = from->kind;
    to->line = from->line;
    to->column = from->column;
    to->number = from->number;
    to->real = from->real;
    to->boolean = from->boolean;
    to->text = from->text;
    to->op = from->op;
    to->symbol = from->symbol;
    if (from->left) {
      to->left = std::make_unique<Expr>();
      work.emplace_back(from->left.get(), to->left.get());
    }
    if (from->right) {
      to->right = std::make_unique<Expr>();
      work.emplace_back(from->right.get(), to->right.get());
    }
    // Sized before any child is queued, so the queued places stay put.
    to->items.resize(from->items.size());
    for (size_t i = 0; i < from->items.size(); ++i)
      work.emplace_back(&from->items[i], &to->items[i]);
    to->entries.resize(from->entries.size());
    for (size_t i = 0; i < from->entries.size(); ++i) {
      to->entries[i].first = from->entries[i].first;
      work.emplace_back(&from->entries[i].second, &to->entries[i].second);
    }
  }
  return root;
}

Stmt copy_stmt(const Stmt &stmt) {
  check_stack();
  Stmt s(stmt.kind);
  s.line = stmt.line;
  s.column = stmt.column;
  s.name = stmt.name;
  s.symbol = stmt.symbol;
  s.op = stmt.op;
  s.expr = copy_expr(stmt.expr);
  s.has_expr = stmt.has_expr;
  s.params = stmt.params;
  s.body = copy_stmts(stmt.body);
  s.else_body = copy_stmts(stmt.else_body);
  s.has_else = stmt.has_else;
  s.arms.reserve(stmt.arms.size());
  for (const MatchArm &arm : stmt.arms) {
    MatchArm a;
    a.pattern.kind = arm.pattern.kind;
    a.pattern.value = copy_expr(arm.pattern.value);
    a.body = copy_stmts(arm.body);
    s.arms.push_back(std::move(a));
  }
  s.alias = stmt.alias;
  s.items = stmt.items;
  return s;
}

std::vector<Stmt> copy_stmts(const std::vector<Stmt> &stmts) {
  std::vector<Stmt> out;
  out.reserve(stmts.size());
  for (const Stmt &s : stmts) out.push_back(copy_stmt(s));
  return out;
}

namespace {

void append_text_list(std::string &out, const std::vector<std::string> &texts) {
  out += '[';
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i) out += ", ";
    append_quoted(out, texts[i]);
  }
  out += ']';
}

void append_expr_list(std::string &out, const std::vector<Expr> &exprs) {
  out += '[';
  for (size_t i = 0; i < exprs.size(); ++i) {
    if (i) out += ", ";
    append_expr(out, exprs[i]);
  }
  out += ']';
}

} // namespace

void append_expr(std::string &out, const Expr &e) {
  check_stack();
  switch (e.kind) {
  case ExprKind::Number:
    out += "Number(";
    out += std::to_string(e.number);
    out += ')';
    return;
  case ExprKind::Float:
    out += "Float(";
    append_debug_double(out, e.real);
    out += ')';
    return;
  case ExprKind::String:
    out += "String(";
    append_quoted(out, e.text);
    out += ')';
    return;
  case ExprKind::Boolean:
    out += e.boolean ? "Boolean(true)" : "Boolean(false)";
    return;
  case ExprKind::Identifier:
    out += "Identifier(";
    append_quoted(out, e.text);
    out += ')';
    return;
  case ExprKind::BinaryOp:
    out += "BinaryOp { left: ";
    append_expr(out, *e.left);
    out += ", op: ";
    out += token_debug(e.op);
    out += ", right: ";
    append_expr(out, *e.right);
    out += " }";
    return;
  case ExprKind::UnaryOp:
    out += "UnaryOp { op: ";
    out += token_debug(e.op);
    out += ", operand: ";
    append_expr(out, *e.left);
    out += " }";
    return;
  case ExprKind::Call:
    out += "Call { name: ";
    append_quoted(out, e.text);
    out += ", args: ";
    append_expr_list(out, e.items);
    out += " }";
    return;
  case ExprKind::Array:
    out += "Array(";
    append_expr_list(out, e.items);
    out += ')';
    return;
  case ExprKind::Dict:
    out += "Dict([";
    for (size_t i = 0; i < e.entries.size(); ++i) {
      if (i) out += ", ";
      out += '(';
      append_quoted(out, e.entries[i].first);
      out += ", ";
      append_expr(out, e.entries[i].second);
      out += ')';
    }
    out += "])";
    return;
  case ExprKind::Index:
    out += "Index { object: ";
    append_expr(out, *e.left);
    out += ", index: ";
    append_expr(out, *e.right);
    out += " }";
    return;
  case ExprKind::Range:
    out += "Range { start: ";
    append_expr(out, *e.left);
    out += ", end: ";
    append_expr(out, *e.right);
    out += " }";
    return;
  }
}

void append_stmts(std::string &out, const std::vector<Stmt> &stmts) {
  out += '[';
  for (size_t i = 0; i < stmts.size(); ++i) {
    if (i) out += ", ";
    append_stmt(out, stmts[i]);
  }
  out += ']';
}

namespace {

void append_named_value(std::string &out, const char *variant, const Stmt &s) {
  out += variant;
  out += " { name: ";
  append_quoted(out, s.name);
  out += ", value: ";
  append_expr(out, s.expr);
  out += " }";
}

} // namespace

void append_stmt(std::string &out, const Stmt &s) {
  check_stack();
  switch (s.kind) {
  case StmtKind::Let:
    append_named_value(out, "Let", s);
    return;
  case StmtKind::Assign:
    append_named_value(out, "Assign", s);
    return;
  case StmtKind::CompoundAssign:
    out += "CompoundAssign { name: ";
    append_quoted(out, s.name);
    out += ", op: ";
    out += token_debug(s.op);
    out += ", value: ";
    append_expr(out, s.expr);
    out += " }";
    return;
  case StmtKind::Function:
    out += "Function { name: ";
    append_quoted(out, s.name);
    out += ", params: ";
    append_text_list(out, s.params);
    out += ", body: ";
    append_stmts(out, s.body);
    out += " }";
    return;
  case StmtKind::If:
    out += "If { condition: ";
    append_expr(out, s.expr);
    out += ", then_body: ";
    append_stmts(out, s.body);
    out += ", else_body: ";
    if (s.has_else) {
      out += "Some(";
      append_stmts(out, s.else_body);
      out += ')';
    } else {
      out += "None";
    }
    out += " }";
    return;
  case StmtKind::While:
    out += "While { condition: ";
    append_expr(out, s.expr);
    out += ", body: ";
    append_stmts(out, s.body);
    out += " }";
    return;
  case StmtKind::For:
    out += "For { var: ";
    append_quoted(out, s.name);
    out += ", iter: ";
    append_expr(out, s.expr);
    out += ", body: ";
    append_stmts(out, s.body);
    out += " }";
    return;
  case StmtKind::Match:
    out += "Match { expr: ";
    append_expr(out, s.expr);
    out += ", arms: [";
    for (size_t i = 0; i < s.arms.size(); ++i) {
      if (i) out += ", ";
      out += '(';
      if (s.arms[i].pattern.kind == PatternKind::Wildcard) {
        out += "Wildcard";
      } else {
        out += "Value(";
        append_expr(out, s.arms[i].pattern.value);
        out += ')';
      }
      out += ", ";
      append_stmts(out, s.arms[i].body);
      out += ')';
    }
    out += "] }";
    return;
  case StmtKind::Try:
    out += "Try { body: ";
    append_stmts(out, s.body);
    out += ", catch_var: ";
    append_quoted(out, s.name);
    out += ", catch_body: ";
    append_stmts(out, s.else_body);
    out += " }";
    return;
  case StmtKind::Return:
    if (s.has_expr) {
      out += "Return(Some(";
      append_expr(out, s.expr);
      out += "))";
    } else {
      out += "Return(None)";
    }
    return;
  case StmtKind::Break:
    out += "Break";
    return;
  case StmtKind::Continue:
    out += "Continue";
    return;
  case StmtKind::Global:
    out += "Global(";
    append_quoted(out, s.name);
    out += ')';
    return;
  case StmtKind::Use:
    out += "Use { module: ";
    append_quoted(out, s.name);
    out += ", alias: ";
    if (s.alias) {
      out += "Some(";
      append_quoted(out, *s.alias);
      out += ')';
    } else {
      out += "None";
    }
    out += ", items: ";
    if (s.items) {
      out += "Some(";
      append_text_list(out, *s.items);
      out += ')';
    } else {
      out += "None";
    }
    out += " }";
    return;
  case StmtKind::Expr:
    out += "Expr(";
    append_expr(out, s.expr);
    out += ')';
    return;
  }
}

std::string render_expr(const Expr &expr) {
  std::string out;
  append_expr(out, expr);
  return out;
}

std::string render_stmt(const Stmt &stmt) {
  std::string out;
  append_stmt(out, stmt);
  return out;
}

std::string render_stmts(const std::vector<Stmt> &stmts) {
  std::string out;
  append_stmts(out, stmts);
  return out;
}

} // namespace tovik
