// Ctrl-C in the interactive loop.
#pragma once

#include <csignal>

namespace tovik {

// While it lives, SIGINT raises `interrupt_requested` instead of ending the
// process: a running input halts at its next loop iteration or call, and a
// blocked read returns early so the prompt can start afresh. Only the
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

} // namespace tovik
