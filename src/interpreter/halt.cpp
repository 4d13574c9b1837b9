#include "interpreter/halt.h"

#include "interpreter/limits.h"

#include <pthread.h>

namespace tovik {

volatile int interrupt_requested = 0;

namespace {

// Enough for the deepest non-checking work below the last check (a builtin,
// a trace line, SDL, a sanitizer report).
constexpr uintptr_t kHeadroom = 1024 * 1024;

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr uintptr_t kSanitizerDepth = 56 * 1024 * 1024;
#endif

uintptr_t read_stack_floor() {
  pthread_attr_t attr;
  void *low = nullptr;
  size_t size = 0;
  uintptr_t floor = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    if (pthread_attr_getstack(&attr, &low, &size) == 0 && size > 2 * kHeadroom)
      floor = reinterpret_cast<uintptr_t>(low) + kHeadroom;
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
    // AddressSanitizer gives up cleaning the stack after a halt unwinds
    // from deeper than 64 MiB, and then reports errors that are not there.
    // Sanitizer builds halt recursion before that depth.
    uintptr_t top = reinterpret_cast<uintptr_t>(low) + size;
    if (floor != 0 && top - floor > kSanitizerDepth) floor = top - kSanitizerDepth;
#endif
    pthread_attr_destroy(&attr);
  }
  return floor;
}

} // namespace

constinit thread_local uintptr_t stack_floor = UINTPTR_MAX;

void stack_check_failed(uintptr_t frame) {
  if (stack_floor == UINTPTR_MAX) {
    stack_floor = read_stack_floor();
    if (frame >= stack_floor) return;
  }
  throw Halt{"Error: maximum recursion depth exceeded"};
}

void out_of_memory() { throw Halt{"Error: out of memory"}; }

void interrupted() {
  interrupt_requested = 0;
  throw Halt{"Interrupted"};
}

#ifdef TOVIK_FUZZING
uint64_t fuzz_steps_left = 0;

void fuzz_budget_spent() { throw Halt{"step budget spent"}; }
#endif

} // namespace tovik
