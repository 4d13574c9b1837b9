// Halting the whole run. The language itself never throws; this exception is
// reserved for the few conditions that must stop a script outright (the
// recursion limit, memory exhaustion, a failing renderer, an interrupt in the
// interactive loop). It unwinds through the evaluator, whose state is kept in
// order by RAII guards, up to the driver, which prints `message`.
#pragma once

#include <cstdint>
#include <string>

namespace tovik {

struct Halt {
  std::string message; // printed on standard error, followed by a line end
};

#ifdef TOVIK_HALT_INJECTION
// Test builds only (the sanitizer build): every halt check counts itself,
// and the one numbered by TOVIK_HALT_AT halts as if its condition had come
// true, so a test can make a run halt at each point in turn and see that it
// ends in order. Checks made while a halt unwinds are not counted.
// TOVIK_HALT_AT=count halts nowhere and writes the number of checks made to
// standard error at exit. Without the variable nothing is counted.
bool halt_injected();
void start_halt_injection();
#endif

// Lowest address this thread's native stack may reach, with headroom for a
// builtin, a trace line or a sanitizer report below it. It starts at the
// top of the address space so that the first check of each thread reads the
// real stack bounds.
extern thread_local constinit uintptr_t stack_floor;
void stack_check_failed(uintptr_t frame);
// Halts with "Error: maximum recursion depth exceeded".
[[noreturn]] void recursion_limit_reached();

// Stops the run when the native stack is nearly used up. Called wherever the
// interpreter, the parser or a value walk recurses; it costs one comparison.
inline void check_stack() {
  // The stack pointer itself where it can be read: asking for the frame
  // address makes every checking function set up a frame pointer, which
  // costs a register and two instructions in the evaluator's hottest code.
#if defined(__x86_64__)
  uintptr_t frame;
  asm("mov %%rsp, %0" : "=r"(frame));
#elif defined(__aarch64__)
  uintptr_t frame;
  asm("mov %0, sp" : "=r"(frame));
#else
  auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
#endif
#ifdef TOVIK_HALT_INJECTION
  if (halt_injected()) recursion_limit_reached();
#endif
  if (frame < stack_floor) [[unlikely]]
    stack_check_failed(frame);
}

// Raised by the interactive loop's interrupt handler; tested at loop
// iterations and calls.
extern volatile int interrupt_requested;
[[noreturn]] void interrupted();

#ifdef TOVIK_FUZZING
// Fuzzing builds only: generated inputs loop forever as often as not, so a
// run may take this many more loop iterations and calls before it halts.
// The fuzz harness sets it before each run; scripts never see it.
extern uint64_t fuzz_steps_left;
[[noreturn]] void fuzz_budget_spent();
#endif

#ifdef __EMSCRIPTEN__
// The web build's run lets its worker take messages now and then
// (support/pause_web.cpp): a browser ends a worker at once only between
// tasks, and otherwise lets a busy one run on for seconds after Stop.
extern uint32_t steps_to_pause;
void pause_for_page();
#endif

inline void halt_if_interrupted() {
#ifdef __EMSCRIPTEN__
  if (--steps_to_pause == 0) [[unlikely]]
    pause_for_page();
#endif
#ifdef TOVIK_FUZZING
  if (fuzz_steps_left == 0) [[unlikely]]
    fuzz_budget_spent();
  --fuzz_steps_left;
#endif
#ifdef TOVIK_HALT_INJECTION
  if (halt_injected()) interrupted();
#endif
  if (interrupt_requested) [[unlikely]]
    interrupted();
}

} // namespace tovik
