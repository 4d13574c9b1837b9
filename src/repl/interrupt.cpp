#include "repl/interrupt.h"

#include <poll.h>

#include <cerrno>

#include "support/halt.h"

namespace tovik {

namespace {

void on_interrupt(int) { interrupt_requested = 1; }

} // namespace

InterruptScope::InterruptScope() {
  struct sigaction action = {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  sigaction(SIGINT, &action, &m_previous);
}

InterruptScope::~InterruptScope() { sigaction(SIGINT, &m_previous, nullptr); }

bool wait_for_input(int fd) {
  // SIGINT stays blocked between the test of the flag and the wait, and
  // ppoll unblocks it atomically, so it either shows in the flag or ends the
  // wait: there is no moment in which it could slip past.
  sigset_t blocked, previous;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGINT);
  sigprocmask(SIG_BLOCK, &blocked, &previous);
  sigset_t during_wait = previous;
  sigdelset(&during_wait, SIGINT);
  bool ready = false;
  while (!interrupt_requested) {
    pollfd input = {fd, POLLIN, 0};
    int result = ppoll(&input, 1, nullptr, &during_wait);
    if (result > 0) {
      ready = true;
      break;
    }
    if (result < 0 && errno != EINTR) {
      ready = true; // let the read itself report the failure
      break;
    }
  }
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return ready && !interrupt_requested;
}

} // namespace tovik
