// Running any program ends in order: a result, or a Halt (recursion limit,
// out of memory, the step budget below). Nothing else may escape, crash or
// leak. Each input runs twice, on the fast evaluators and on the general
// ones alone, and the two runs must print the same and end the same way.
#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/builtins/random.h"
#include "interpreter/evaluation_mode.h"
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

// Files a run wrote (write_file) are gone before the next run, which would
// read them otherwise; the module is written afresh by the caller.
void clear_work_dir() {
  if (DIR *dir = opendir(work_dir)) {
    while (dirent *entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name != "." && name != ".." && name != "m.tvk")
        std::remove((std::string(work_dir) + "/" + name).c_str());
    }
    closedir(dir);
  }
}

void remove_work_dir() {
  clear_work_dir();
  std::remove((std::string(work_dir) + "/m.tvk").c_str());
  std::remove(work_dir);
}

// What a run printed on both streams, and how it ended.
struct Outcome {
  std::string output;
  std::string halt;
  bool operator==(const Outcome &) const = default;
};

std::string read_all(int fd) {
  std::string text;
  lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  ssize_t got;
  while ((got = read(fd, buffer, sizeof buffer)) > 0)
    text.append(buffer, static_cast<size_t>(got));
  return text;
}

Outcome run_once(std::string_view text, bool reference) {
  clear_work_dir();
  write_file("m.tvk", kModule);
  tovik::restart_random_stream(1);
  tovik::reference_mode = reference;
  tovik::fuzz_steps_left = kStepBudget;
  // Both streams go to one memory file, in the order they were written.
  std::fflush(stdout);
  std::fflush(stderr);
  int captured = memfd_create("tovik-run", 0);
  int saved_out = dup(STDOUT_FILENO), saved_err = dup(STDERR_FILENO);
  dup2(captured, STDOUT_FILENO);
  dup2(captured, STDERR_FILENO);
  Outcome outcome;
  std::vector<tovik::Token> tokens = tovik::tokenize(text);
  try {
    std::vector<tovik::Stmt> program = tovik::parse_program(tokens);
    // Inputs that start with "#!" run with the trace lines on. Tracing is
    // slow (every call of a user function renders its body), so only
    // these few do.
    bool debug = text.size() >= 2 && text[0] == '#' && text[1] == '!';
    tovik::run_program(std::move(program), debug);
  } catch (const tovik::Halt &halt) {
    outcome.halt = halt.message;
  }
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(saved_out, STDOUT_FILENO);
  dup2(saved_err, STDERR_FILENO);
  close(saved_out);
  close(saved_err);
  outcome.output = read_all(captured);
  close(captured);
  tovik::reference_mode = false;
  return outcome;
}

// A clock read differs from run to run by nature.
bool reads_the_clock(std::string_view text) {
  return text.find("clock") != std::string_view::npos;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  // Graphics calls must not open windows.
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  // Both runs read the same (empty) input.
  int null = open("/dev/null", O_RDONLY);
  if (null >= 0) {
    dup2(null, STDIN_FILENO);
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
  Outcome fast = run_once(text, false);
  Outcome reference = run_once(text, true);
  if (fast != reference && !reads_the_clock(text)) {
    std::fprintf(stderr,
                 "fast and reference runs differ\n--- fast (halt: %s)\n%s\n"
                 "--- reference (halt: %s)\n%s\n",
                 fast.halt.c_str(), fast.output.c_str(), reference.halt.c_str(),
                 reference.output.c_str());
    std::abort();
  }
  return 0;
}
