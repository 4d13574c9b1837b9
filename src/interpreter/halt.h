// Halting the whole run. The language itself never throws; this exception is
// reserved for the few conditions that must stop a script outright (the
// recursion limit, memory exhaustion, a failing renderer, an interrupt in the
// interactive loop). It unwinds through the evaluator, whose state is kept in
// order by RAII guards, up to the driver, which prints `message`.
#pragma once

#include <string>

namespace tovik {

struct Halt {
  std::string message; // printed on standard error, followed by a line end
};

// Stops the run when the native stack is nearly used up. Call at every point
// where the interpreter, the parser or a value walk recurses.
void check_stack();

// Raised by the interactive loop's interrupt handler; tested at loop
// iterations and calls.
extern volatile int interrupt_requested;
void halt_if_interrupted();

} // namespace tovik
