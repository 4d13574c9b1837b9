// The evaluators and executors chosen instead of the fast ones when
// warnings are on (see warnings.h).
#pragma once

#include "interpreter/exec_tree.h"

namespace tovik {

// Null for the nodes whose fast evaluator or executor serves as it is.
Evaluator warning_evaluator(const ExecExpr &expr);
Executor warning_executor(const ExecStmt &stmt);

} // namespace tovik
