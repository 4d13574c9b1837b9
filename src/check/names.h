// The checks on the syntax tree: names, calls, the shape of the program
// and literal operands (W3xx, W4xx, W5xx).
#pragma once

#include <vector>

#include "check/warning.h"
#include "parser/ast.h"
#include "support/closest_name.h" // closest_name, shared with the runtime warnings

namespace tovik {

// Module files named by `use` are read from the working directory.
void check_tree(const std::vector<Stmt> &program, CheckWarnings &out);

} // namespace tovik
