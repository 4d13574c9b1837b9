#include "repl/repl.h"

#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/builtins/builtins.h"
#include "interpreter/compile.h"
#include "interpreter/interpreter.h"
#include "interpreter/warnings.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "repl/brackets.h"
#include "repl/interrupt.h"
#include "repl/line_reader.h"
#include "support/halt.h"
#include "support/source.h"

namespace tovik {

namespace {

// A top-level `return` (or a stray `break`/`continue`) ends only its own
// statement; each statement of the session starts clean, and a returned
// value is let go at once.
void settle_control_flow(Interpreter &interp) {
  interp.return_value = Value();
}

// Writes without allocating: when memory ran out, what used it up may still
// be held by the session's variables.
void report_halt(Interpreter &interp, std::string_view message) {
  flush_output();
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
  settle_control_flow(interp);
}

// Scans, parses and runs one complete input. A halt drops the rest of the
// input; the session, with all its variables and functions, goes on.
void run_input(Interpreter &interp, std::string_view text) {
  // Each input is a source of its own: its warnings' places count from its
  // first line.
  std::optional<WarningSource> warning_source;
  if (warnings_enabled) warning_source.emplace("<stdin>", true);
  try {
    std::vector<ExecStmt> statements =
        compile_program(parse_program(tokenize(text)));
    for (const ExecStmt &statement : statements) {
      execute(interp, statement);
      settle_control_flow(interp);
    }
  } catch (const Halt &halt) {
    report_halt(interp, halt.message);
  } catch (const std::bad_alloc &) {
    report_halt(interp, "Error: out of memory");
  }
}

} // namespace

void run_repl() {
  write_output("Welcome to Tovik Interactive REPL!\nType 'exit' to quit.\n\n");
  // Values are never echoed and `main` is never called here; trace lines
  // belong to script runs only.
  debug_enabled = false;
  Interpreter interp;
  InterruptScope interrupts;
  LineReader reader;
  BracketDepth depth;
  std::string pending; // kept lines, each ending in a line feed

  for (;;) {
    ReadResult read = reader.read_line(is_continuation(depth) ? "... " : ">>> ");
    if (read.status == ReadStatus::Closed) break;
    if (read.status == ReadStatus::Interrupted) {
      // Ctrl-C at a prompt abandons the whole statement being entered.
      pending.clear();
      depth = BracketDepth{};
      continue;
    }

    std::string_view line = trim_white_space(read.text);
    if (line.empty()) continue;
    reader.remember(line);
    if (line == "exit" || line == "quit") {
      write_output("Goodbye!\n");
      break;
    }

    count_brackets(depth, line);
    pending += line;
    if (keeps_input_open(depth)) {
      // A `#` comment on this line ends at this line feed.
      pending += '\n';
      continue;
    }
    std::string text = std::move(pending);
    pending.clear();
    run_input(interp, text);
    // A Ctrl-C that came after the input's last check had nothing left to
    // stop; it must not cancel the next line.
    interrupt_requested = 0;
  }
  flush_output();
}

} // namespace tovik
