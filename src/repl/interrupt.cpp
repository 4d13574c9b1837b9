#include "repl/interrupt.h"

#include "interpreter/halt.h"

namespace tovik {

namespace {

void on_interrupt(int) { interrupt_requested = 1; }

} // namespace

InterruptScope::InterruptScope() {
  struct sigaction action = {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  // No SA_RESTART: a read waiting at the prompt must come back with EINTR so
  // the typed line can be dropped.
  action.sa_flags = 0;
  sigaction(SIGINT, &action, &m_previous);
}

InterruptScope::~InterruptScope() { sigaction(SIGINT, &m_previous, nullptr); }

} // namespace tovik
