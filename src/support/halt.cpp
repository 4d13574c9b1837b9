#include "support/halt.h"

#include "support/limits.h"
#include "support/stack.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>

#if defined(TOVIK_ADDRESS_SANITIZER)
#include <sanitizer/asan_interface.h>
#endif
#if defined(__EMSCRIPTEN__)
#include <emscripten/stack.h>
#endif

namespace tovik {

volatile int interrupt_requested = 0;

namespace {

// Enough for the deepest non-checking work below the last check (a builtin,
// a trace line, SDL, a sanitizer report).
constexpr uintptr_t kHeadroom = 1024 * 1024;

// This thread's stack bounds, read with its floor.
thread_local uintptr_t stack_low = 0;
thread_local uintptr_t stack_top = 0;

uintptr_t read_stack_floor() {
#if defined(__EMSCRIPTEN__)
  // WebAssembly has one stack, fixed at link time, growing down to its end.
  stack_low = emscripten_stack_get_end();
  stack_top = emscripten_stack_get_base();
  uintptr_t whole = stack_top - stack_low;
  return stack_low + std::min<uintptr_t>(kHeadroom, whole / 4);
#else
  pthread_attr_t attr;
  void *low = nullptr;
  size_t size = 0;
  uintptr_t floor = 0;
  if (pthread_getattr_np(pthread_self(), &attr) == 0) {
    if (pthread_attr_getstack(&attr, &low, &size) == 0) {
      stack_low = reinterpret_cast<uintptr_t>(low);
      stack_top = stack_low + size;
      // The main thread's stack is reported as large as its limit, but its
      // pages are mapped only as it grows, which an address-space limit may
      // forbid: count on no more than a run would be given.
      if (getpid() == gettid()) size = std::min(size, stack_budget());
      // A small stack keeps a proportionate headroom rather than none.
      floor = stack_top - size + std::min<uintptr_t>(kHeadroom, size / 4);
    }
    pthread_attr_destroy(&attr);
  }
  return floor;
#endif
}

// AddressSanitizer skips its own stack clean-up when unwinding starts more
// than 64 MiB below the stack top, so the destructors run during unwinding
// would land on stale redzones of the abandoned frames and be reported as
// overflows. Clear the shadow from here up instead; the few frames that
// survive the unwinding only lose their redzones. A thread whose bounds
// were never read is left to the sanitizer.
void prepare_to_unwind() {
#if defined(TOVIK_ADDRESS_SANITIZER)
  auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  if (here >= stack_low && here < stack_top)
    __asan_unpoison_memory_region(reinterpret_cast<void *>(here),
                                  stack_top - here);
#endif
}

} // namespace

constinit thread_local uintptr_t stack_floor = UINTPTR_MAX;

void stack_check_failed(uintptr_t frame) {
  if (stack_floor == UINTPTR_MAX) {
    stack_floor = read_stack_floor();
    if (frame >= stack_floor) return;
  }
  recursion_limit_reached();
}

void recursion_limit_reached() {
  prepare_to_unwind();
  throw Halt{"Error: maximum recursion depth exceeded"};
}

void out_of_memory() { throw Halt{"Error: out of memory"}; }

void interrupted() {
  interrupt_requested = 0;
  prepare_to_unwind();
  throw Halt{"Interrupted"};
}

#ifdef TOVIK_HALT_INJECTION
namespace {

bool injecting = false;
uint64_t checks_made = 0;
uint64_t halt_at = 0; // 0: count only

void report_checks_made() {
  std::fprintf(stderr, "halt checks made: %llu\n",
               static_cast<unsigned long long>(checks_made));
}

} // namespace

bool halt_injected() {
  if (!injecting || std::uncaught_exceptions() > 0) return false;
  return ++checks_made == halt_at;
}

void start_halt_injection() {
  const char *at = std::getenv("TOVIK_HALT_AT");
  if (!at) return;
  injecting = true;
  if (std::strcmp(at, "count") == 0)
    std::atexit(report_checks_made);
  else
    halt_at = std::strtoull(at, nullptr, 10);
}
#endif

} // namespace tovik

#ifdef TOVIK_HALT_INJECTION
// Allocation is a halt check too: the chosen one fails as the system's
// allocator fails when memory runs out. Defined beside halt_injected so the
// program always links these in place of the standard ones.
void *operator new(std::size_t size) {
  if (tovik::halt_injected()) throw std::bad_alloc();
  if (void *p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void *operator new[](std::size_t size) { return ::operator new(size); }
void *operator new(std::size_t size, std::align_val_t align) {
  if (tovik::halt_injected()) throw std::bad_alloc();
  auto a = static_cast<std::size_t>(align);
  if (void *p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}
void *operator new[](std::size_t size, std::align_val_t align) {
  return ::operator new(size, align);
}
// The forms that report failure with null: their callers take another way.
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  if (tovik::halt_injected()) return nullptr;
  return std::malloc(size ? size : 1);
}
void *operator new[](std::size_t size, const std::nothrow_t &tag) noexcept {
  return ::operator new(size, tag);
}
void *operator new(std::size_t size, std::align_val_t align,
                   const std::nothrow_t &) noexcept {
  if (tovik::halt_injected()) return nullptr;
  auto a = static_cast<std::size_t>(align);
  return std::aligned_alloc(a, (size + a - 1) / a * a);
}
void *operator new[](std::size_t size, std::align_val_t align,
                     const std::nothrow_t &tag) noexcept {
  return ::operator new(size, align, tag);
}
void operator delete(void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t, const std::nothrow_t &) noexcept {
  std::free(p);
}
void operator delete[](void *p, std::align_val_t, const std::nothrow_t &) noexcept {
  std::free(p);
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete[](void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }
void operator delete[](void *p, std::size_t) noexcept { std::free(p); }
void operator delete(void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void *p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void *p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void *p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
#endif

namespace tovik {

#ifdef TOVIK_FUZZING
uint64_t fuzz_steps_left = 0;

void fuzz_budget_spent() { throw Halt{"step budget spent"}; }
#endif

} // namespace tovik
