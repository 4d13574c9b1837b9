// The checks on the syntax tree: names, calls, the shape of the program
// and literal operands (W3xx, W4xx, W5xx).
#pragma once

#include <vector>

#include "check/warning.h"
#include "parser/ast.h"

namespace tovik {

// Module files named by `use` are read from the working directory.
void check_tree(const std::vector<Stmt> &program, CheckWarnings &out);

// The closest of `candidates` to `name` within a small edit distance, or
// empty when none is close.
std::string closest_name(std::string_view name, const std::vector<std::string_view> &candidates);

} // namespace tovik
