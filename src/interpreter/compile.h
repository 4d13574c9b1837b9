// Turning the syntax tree into the execution tree.
#pragma once

#include <vector>

#include "interpreter/exec_tree.h"
#include "parser/ast.h"

namespace tovik {

// Compiles `stmts`. The syntax tree is only read and may be dropped after.
// Function definitions become function values here, each with its body
// compiled once.
std::vector<ExecStmt> compile_block(const std::vector<Stmt> &stmts);
ExecExpr compile_expr(const Expr &expr);

} // namespace tovik
