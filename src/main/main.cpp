#include <string>
#include <vector>

#include "main/args.h"
#include "main/runner.h"
#include "support/stack.h"

namespace {

int run(void *context) {
  const auto &arguments = *static_cast<const std::vector<std::string> *>(context);
  return tovik::run_command(tovik::parse_args(arguments));
}

} // namespace

// The whole run happens on a stack reserved for it, where the recursion
// guard knows exactly how deep scripts may go.
int main(int argc, char **argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  tovik::exit_on_reserved_stack(run, &arguments);
}
