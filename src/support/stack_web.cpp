// The web build's run: WebAssembly has a single stack, sized when the
// program is linked (web/CMakeLists.txt), and no threads to give another.
#include "support/stack.h"

#include <cstdlib>

namespace tovik {

// Informational only here: the guard reads the real bounds.
size_t stack_budget() { return size_t{64} << 20; }

void exit_on_reserved_stack(int (*body)(void *), void *context) {
  std::exit(body(context));
}

} // namespace tovik
