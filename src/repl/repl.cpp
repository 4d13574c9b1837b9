#include "repl/repl.h"

#include <cstdio>

namespace tovik {

// Placeholder until the interactive loop lands.
void run_repl() {
  std::fputs("Welcome to Tovik Interactive REPL!\nType 'exit' to quit.\n\n", stdout);
}

} // namespace tovik
