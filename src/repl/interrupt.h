// Ctrl-C in the interactive loop.
#pragma once

#include <csignal>

namespace tovik {

// While it lives, SIGINT raises `interrupt_requested` instead of ending the
// process: a running input halts at its next loop iteration or call, and a
// wait for input gives up so the prompt can start afresh. Only the
// interactive loop installs it; a script run keeps the default action.
class InterruptScope {
public:
  InterruptScope();
  ~InterruptScope();
  InterruptScope(const InterruptScope &) = delete;
  InterruptScope &operator=(const InterruptScope &) = delete;

private:
  struct sigaction m_previous;
};

// Waits until `fd` can be read without blocking (input or its end). False
// when Ctrl-C was pressed, during the wait or at any time before it since
// `interrupt_requested` was last cleared: a key pressed just before a read
// begins is not lost.
bool wait_for_input(int fd);

} // namespace tovik
