#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/halt.h"
#include "support/stack.h"

namespace tovik {
namespace {

constexpr size_t kMiB = size_t{1} << 20;

// Field `index` of /proc/self/statm in bytes: 0 is the mapped size, 5 the
// data size, as the address-space and data limits count them.
size_t usage_bytes(int index) {
  FILE *file = std::fopen("/proc/self/statm", "r");
  unsigned long fields[6] = {};
  if (file != nullptr) {
    for (unsigned long &field : fields)
      if (std::fscanf(file, "%lu", &field) != 1) break;
    std::fclose(file);
  }
  return fields[index] * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Lowers a soft limit for one scope.
class SoftLimit {
public:
  SoftLimit(int resource, size_t bytes) : m_resource(resource) {
    getrlimit(resource, &m_saved);
    struct rlimit lowered = m_saved;
    lowered.rlim_cur = bytes;
    m_set = setrlimit(resource, &lowered) == 0;
  }
  ~SoftLimit() { setrlimit(m_resource, &m_saved); }
  bool set() const { return m_set; }

private:
  int m_resource;
  struct rlimit m_saved;
  bool m_set = false;
};

TEST(StackBudget, FixedWithoutLimitsAndAQuarterOfWhatALimitLeaves) {
  const size_t full = stack_budget();
  EXPECT_GE(full, size_t{1} << 30);
  struct Case {
    int resource;
    int statm_field;
  };
  for (Case c : {Case{RLIMIT_AS, 0}, Case{RLIMIT_DATA, 5}}) {
    {
      SoftLimit limit(c.resource, usage_bytes(c.statm_field) + 400 * kMiB);
      ASSERT_TRUE(limit.set());
      size_t budget = stack_budget();
      // The usage read here and the one the budget reads may differ by a
      // few pages the test itself allocated.
      EXPECT_LE(budget, 100 * kMiB);
      EXPECT_GE(budget, 96 * kMiB);
    }
    {
      // Too little room for any useful stack still gets the smallest.
      SoftLimit limit(c.resource, usage_bytes(c.statm_field) + kMiB / 2);
      ASSERT_TRUE(limit.set());
      EXPECT_EQ(stack_budget(), 256 * 1024u);
    }
  }
  EXPECT_EQ(stack_budget(), full);
}

volatile pid_t signalled_thread = 0;

void note_signal(int) { signalled_thread = gettid(); }

// Sends SIGUSR1 to the process from a thread that blocks it, so the kernel
// picks the receiver among the others, the main thread first.
void *signal_the_process(void *) {
  sigset_t usr1;
  sigemptyset(&usr1);
  sigaddset(&usr1, SIGUSR1);
  pthread_sigmask(SIG_BLOCK, &usr1, nullptr);
  kill(getpid(), SIGUSR1);
  return nullptr;
}

int recurse_until_halted(int depth) {
  check_stack();
  volatile char frame[512];
  frame[0] = static_cast<char>(depth);
  return depth < 0 ? 0 : recurse_until_halted(depth + 1) + frame[0];
}

// Checks, on the thread a run gets, what the run relies on; the exit status
// says which check failed (0 for none).
int probe_reserved_stack(void *) {
  if (gettid() == getpid()) return 10;
  pthread_attr_t attributes;
  void *low = nullptr;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 11;
  pthread_attr_getstack(&attributes, &low, &size);
  pthread_attr_destroy(&attributes);
  // The address-space limit set below shrinks the budget to a few MiB.
  if (size < 8 * kMiB || size > 32 * kMiB) return 12;
  // A signal sent to the process is delivered here.
  signal(SIGUSR1, note_signal);
  // A small stack of its own: the default follows the stack limit, which
  // may not fit under the address-space limit.
  pthread_attr_t small;
  pthread_attr_init(&small);
  pthread_attr_setstacksize(&small, 256 * 1024);
  pthread_t sender;
  int made = pthread_create(&sender, &small, signal_the_process, nullptr);
  pthread_attr_destroy(&small);
  if (made != 0) return 17;
  pthread_join(sender, nullptr);
  while (signalled_thread == 0) sched_yield();
  if (signalled_thread != gettid()) return 13;
  // The guard reads the bounds of this stack and halts before its end.
  try {
    recurse_until_halted(0);
  } catch (const Halt &halt) {
    return halt.message == "Error: maximum recursion depth exceeded" ? 0 : 14;
  }
  return 15;
}

void run_probe_under_a_small_address_space() {
  struct rlimit cap;
  getrlimit(RLIMIT_AS, &cap);
  cap.rlim_cur = usage_bytes(0) + 64 * kMiB;
  if (setrlimit(RLIMIT_AS, &cap) != 0) std::exit(16);
  exit_on_reserved_stack(probe_reserved_stack, nullptr);
}

TEST(ReservedStack, RunsOffTheMainThreadWithSignalsAndAWorkingGuard) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(run_probe_under_a_small_address_space(),
              testing::ExitedWithCode(0), "");
}

} // namespace
} // namespace tovik
