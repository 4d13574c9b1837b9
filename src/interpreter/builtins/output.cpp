#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "interpreter/builtins/builtins.h"
#include "support/halt.h"

namespace tovik {

namespace {

// Set once standard output has failed; the reason has been given by then.
bool output_failed = false;

// Output that cannot be delivered ends the run: a script that goes on
// printing into nothing would be lost work at best and an endless loop at
// worst. A reader that went away (a closed pipe) is the normal end of a
// pipeline and is left without a word, as the default SIGPIPE would; any
// other failure is said once on standard error. Later writes halt quietly,
// so no caller, however it handles a halt, can print past the failure.
[[noreturn]] void halt_on_output_failure(int error) {
  if (!output_failed) {
    output_failed = true;
    if (error != EPIPE) {
      std::string line = "Error: failed to write output: ";
      line += std::strerror(error != 0 ? error : EIO);
      line += '\n';
      std::fwrite(line.data(), 1, line.size(), stderr);
    }
  }
  throw Halt{""};
}

} // namespace

void write_output(std::string_view text) {
  if (output_failed) halt_on_output_failure(0);
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
    halt_on_output_failure(errno);
}

void flush_output() {
  if (output_failed) halt_on_output_failure(0);
  errno = 0;
  if (std::fflush(stdout) != 0) halt_on_output_failure(errno);
}

// print: each argument's textual form on a line of its own.
Value builtin_print(Args args, GraphicsContext &) {
  std::string line;
  for (const Value &arg : args) {
    line.clear();
    append_text(line, arg);
    line += '\n';
    write_output(line);
  }
  return Value();
}

} // namespace tovik
