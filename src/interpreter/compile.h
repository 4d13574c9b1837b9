// Turning the syntax tree into the execution tree.
#pragma once

#include <memory>
#include <vector>

#include "interpreter/exec_tree.h"
#include "parser/ast.h"

namespace tovik {

// Compiles a whole program, module or interactive input. Function
// definitions become function values here, each with its body compiled
// once. The syntax tree is kept for as long as one of those values lives:
// each shows its body as written in trace lines, and points into the tree
// rather than keeping a copy, so compiling stays linear in the script
// however deeply definitions nest.
std::vector<ExecStmt> compile_program(std::vector<Stmt> syntax);
ExecExpr compile_expr(const Expr &expr);

} // namespace tovik
