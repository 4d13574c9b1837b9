#include <cstdio>

#include "interpreter/builtins/builtins.h"

namespace tovik {

void write_output(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void flush_output() { std::fflush(stdout); }

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
