// Which evaluators nodes get when they are prepared. Every fast evaluator is
// an early exit in front of a general one, and the general ones alone are
// the language's definition in code. Warnings need them (they watch every
// operand as it is used); the differential tests run whole programs on them
// and compare the outcome with the fast evaluators'.
#pragma once

#include "interpreter/warnings.h"

namespace tovik {

// Set by tests only, before anything is compiled: no fast path is chosen,
// and nothing is reported unless warnings are on too.
extern bool reference_mode;

inline bool general_evaluators_only() { return reference_mode || warnings_enabled; }

} // namespace tovik
