#include "interpreter/halt.h"

#include <pthread.h>

#include <cstdint>

namespace tovik {

volatile int interrupt_requested = 0;

namespace {

// Headroom kept free below the limit: enough for a builtin, a trace line or
// a sanitizer report to run after the last check passed.
constexpr uintptr_t kHeadroom = 1024 * 1024;

uintptr_t stack_limit() {
  static thread_local uintptr_t limit = [] {
    pthread_attr_t attr;
    void *low = nullptr;
    size_t size = 0;
    uintptr_t result = 0;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      if (pthread_attr_getstack(&attr, &low, &size) == 0)
        result = reinterpret_cast<uintptr_t>(low) + kHeadroom;
      pthread_attr_destroy(&attr);
    }
    return result;
  }();
  return limit;
}

} // namespace

void check_stack() {
  if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < stack_limit())
    throw Halt{"Error: maximum recursion depth exceeded"};
}

void halt_if_interrupted() {
  if (interrupt_requested) {
    interrupt_requested = 0;
    throw Halt{"Interrupted"};
  }
}

} // namespace tovik
