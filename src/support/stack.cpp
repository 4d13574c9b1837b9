#include "support/stack.h"

#include <malloc.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tovik {

namespace {

#if defined(TOVIK_ADDRESS_SANITIZER)
// Sanitizer frames are larger (deep value walks need about 1.5 times the
// stack), so that build gets more room and runs the same scripts.
constexpr size_t kFullBudget = size_t{3} << 30;
#else
// Scripts recurse 100,000 calls deep and more.
constexpr size_t kFullBudget = size_t{1} << 30;
#endif

// Below this a run could hardly call a function; a thread this small is
// still better than a main thread whose stack cannot grow.
constexpr size_t kSmallestStack = 256 * 1024;

// The process's mapped size and its data size in bytes, as the kernel
// counts them against the address-space and data limits.
bool read_usage(size_t &mapped, size_t &data) {
  FILE *file = std::fopen("/proc/self/statm", "r");
  if (file == nullptr) return false;
  unsigned long pages[6] = {};
  bool read = std::fscanf(file, "%lu %lu %lu %lu %lu %lu", &pages[0], &pages[1],
                          &pages[2], &pages[3], &pages[4], &pages[5]) == 6;
  std::fclose(file);
  if (!read) return false;
  auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  mapped = pages[0] * page;
  data = pages[5] * page;
  return true;
}

// What the soft limit on `resource` leaves above `used`; SIZE_MAX when it
// is unlimited.
size_t room_under(int resource, size_t used) {
  struct rlimit limit;
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return SIZE_MAX;
  return limit.rlim_cur > used ? static_cast<size_t>(limit.rlim_cur - used) : 0;
}

struct Job {
  int (*body)(void *);
  void *context;
  sigset_t signals; // the caller's mask, restored on the thread
};

void *run_job(void *argument) {
  Job &job = *static_cast<Job *>(argument);
  pthread_sigmask(SIG_SETMASK, &job.signals, nullptr);
  std::exit(job.body(job.context));
}

} // namespace

size_t stack_budget() {
  size_t budget = kFullBudget;
  size_t mapped = 0, data = 0;
  if ((room_under(RLIMIT_AS, 0) != SIZE_MAX ||
       room_under(RLIMIT_DATA, 0) != SIZE_MAX) &&
      read_usage(mapped, data)) {
    // A quarter of what is left: deep recursion needs heap as well.
    size_t room = std::min(room_under(RLIMIT_AS, mapped),
                           room_under(RLIMIT_DATA, data));
    budget = std::min(budget, room / 4);
  }
  auto page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return std::max(budget / page * page, kSmallestStack);
}

void exit_on_reserved_stack(int (*body)(void *), void *context) {
  // Only one thread ever runs the interpreter, so it may as well allocate
  // from the main heap as the process always did: a second arena would
  // reserve address space of its own that a capped run cannot spare.
  mallopt(M_ARENA_MAX, 1);
  Job job{body, context, {}};
  // The calling thread blocks every signal, so a signal sent to the
  // process reaches the thread that runs the interpreter: Ctrl-C must wake
  // its wait for input, and a default action must still end the process.
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &job.signals);
  for (size_t size = stack_budget(); size >= kSmallestStack; size /= 2) {
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) break;
    pthread_t thread;
    bool made = pthread_attr_setstacksize(&attributes, size) == 0 &&
                pthread_create(&thread, &attributes, run_job, &job) == 0;
    pthread_attr_destroy(&attributes);
    // The thread ends the process; this one only waits for that.
    if (made)
      for (;;) pause();
  }
  pthread_sigmask(SIG_SETMASK, &job.signals, nullptr);
  std::exit(body(context));
}

} // namespace tovik
