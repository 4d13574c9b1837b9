// The interactive loop.
#pragma once

namespace tovik {

// Reads and runs inputs until "exit", "quit" or the end of input.
void run_repl();

} // namespace tovik
