#include <sys/resource.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "main/args.h"
#include "main/runner.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Sanitizer frames are larger (deep value walks need about 1.5 times the
// stack), so that build gets more room and runs the same scripts.
constexpr rlim_t kWantedStack = rlim_t(3) << 30;
#else
constexpr rlim_t kWantedStack = rlim_t(1) << 30;
#endif

// Scripts may recurse deeply (100,000 calls and more) on the main thread,
// which SDL requires. The kernel sizes the main stack's room from the limit
// in force at exec time, so raising the limit alone is not enough: raise it
// and exec ourselves again. When that fails, keep the stack we have and put
// the old limit back, so the recursion guard reads the true bound.
void ensure_large_stack(char **argv) {
  struct rlimit limit;
  if (getrlimit(RLIMIT_STACK, &limit) != 0) return;
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur >= kWantedStack) return;
  if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < kWantedStack) return;
  struct rlimit raised = limit;
  raised.rlim_cur = kWantedStack;
  if (setrlimit(RLIMIT_STACK, &raised) != 0) return;
  execv("/proc/self/exe", argv);
  setrlimit(RLIMIT_STACK, &limit);
}

} // namespace

int main(int argc, char **argv) {
  if (argc > 0) ensure_large_stack(argv);
  std::vector<std::string> arguments(argv, argv + argc);
  return tovik::run_command(tovik::parse_args(arguments));
}
