// Running any program ends in order: a result, or a Halt (recursion limit,
// out of memory, the step budget below). Nothing else may escape, crash or
// leak.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/interpreter.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/halt.h"

namespace {

// Loop iterations and calls one input may take. Small, because one step
// may copy a whole array (push onto a shared one), so a run can cost the
// square of it.
constexpr uint64_t kStepBudget = 1000;

// A module beside the runs, so `use` has something to load.
constexpr std::string_view kModule =
    "let answer = 42\n"
    "def twice(x) { return x * 2 }\n"
    "def greet(name) { return concat(\"hi \", name) }\n";

void write_file(const char *name, std::string_view text) {
  if (FILE *f = std::fopen(name, "w")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}

char work_dir[] = "/tmp/tovik-fuzz-XXXXXX";

void remove_work_dir() {
  std::remove((std::string(work_dir) + "/m.tvk").c_str());
  std::remove(work_dir);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // Graphics calls must not open windows.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // What the scripts print is not the point; keep it off the terminal.
  int null = open("/dev/null", O_WRONLY);
  if (null >= 0) {
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  // Modules are read from the working directory: give the runs one of
  // their own, holding a module named `m`.
  if (mkdtemp(work_dir) && chdir(work_dir) == 0) {
    write_file("m.tvk", kModule);
    std::atexit(remove_work_dir);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view text(reinterpret_cast<const char *>(data), size);
  std::vector<tovik::Token> tokens = tovik::tokenize(text);
  tovik::fuzz_steps_left = kStepBudget;
  try {
    std::vector<tovik::Stmt> program = tovik::parse_program(tokens);
    // Inputs that start with "#!" run with the trace lines on. Tracing is
    // slow (every call of a user function renders its body), so only
    // these few do.
    bool debug = size >= 2 && data[0] == '#' && data[1] == '!';
    tovik::run_program(std::move(program), debug);
  } catch (const tovik::Halt &) {
  }
  std::fflush(stdout);
  return 0;
}
