// The native stack the interpreter runs on.
//
// Scanning, parsing, compiling, running and releasing values all recurse
// as deeply as the script nests, guarded by check_stack(). The guard holds
// only over stack that really exists. The main thread's stack is mapped
// page by page as it grows, so under an address-space limit the pages it
// was promised may never come, and its reported size is whatever the stack
// limit says: huge when unlimited, too small to leave headroom when tiny.
// A thread whose whole stack is mapped before it starts has none of these
// faults: its bounds are exact and already paid for.
#pragma once

#include <cstddef>

namespace tovik {

// How much stack a run gets: a fixed budget, or less when an address-space
// or data-size limit leaves little room, so that the heap keeps the larger
// share of what is left.
size_t stack_budget();

// Runs `body(context)` on a new thread with a stack of stack_budget() bytes
// mapped up front (less when that much cannot be mapped) and ends the
// process with the status it returns. The process ends from that thread,
// so what the run keeps in thread-local storage is still there at exit, and
// signals sent to the process are delivered to it. When no such thread can
// be made, `body` runs on the calling thread.
[[noreturn]] void exit_on_reserved_stack(int (*body)(void *), void *context);

} // namespace tovik
