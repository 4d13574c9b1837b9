// The checks of what a program certainly does not do as written (W403 to
// W410): loops over what is no list, empty literal ranges, `break` outside
// a loop, a value dropped where `return` was meant, assignments that change
// nothing anyone reads, definitions a builtin hides, drawing with no
// window. Only what holds on every run is reported; what depends on the
// values is left to -w.
#pragma once

#include <vector>

#include "check/warning.h"
#include "parser/ast.h"

namespace tovik {

// `uses_modules`: the script loads module files, which may open a window.
void check_meaning(const std::vector<Stmt> &program, bool uses_modules, CheckWarnings &out);

} // namespace tovik
