#include "main/runner.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "check/check.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/interpreter.h"
#include "interpreter/trace.h"
#include "interpreter/warnings.h"
#include "lexer/scanner.h"
#include "main/usage.h"
#include "parser/parser.h"
#include "repl/repl.h"
#include "support/halt.h"
#include "support/source.h"
#include "support/stack.h"

namespace tovik {

namespace {

void trace_separator() {
  std::string rule;
  for (int i = 0; i < 33; ++i) rule += "\u2500";
  trace_driver(rule);
}

// Writes without allocating: it also reports running out of memory.
void report_error(std::string_view message) {
  std::fwrite(message.data(), 1, message.size(), stderr);
  std::fputc('\n', stderr);
}

using Clock = std::chrono::steady_clock;

double elapsed_milliseconds(Clock::time_point start, Clock::time_point end) {
  int64_t ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count();
  double seconds = static_cast<double>(ns / 1000000000);
  double nanos = static_cast<double>(ns % 1000000000);
  return (seconds + nanos / 1000000000.0) * 1000.0;
}

} // namespace

bool has_script_extension(std::string_view path) {
  auto is_separator = [](char c) { return c == '/' || c == '\\'; };
  size_t end = path.size();
  while (end > 0 && is_separator(path[end - 1])) --end;
  size_t begin = end;
  while (begin > 0 && !is_separator(path[begin - 1])) --begin;
  std::string_view name = path.substr(begin, end - begin);
  constexpr std::string_view suffix = ".tvk";
  return name.size() > suffix.size() && name.ends_with(suffix);
}

std::string format_milliseconds(double milliseconds) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.3f", milliseconds);
  return buffer;
}

namespace {

// With -w, what --check finds is reported too, before the run, in the
// runtime warnings' form. The checks whose mistakes the run reports itself,
// in its own words and only where the run gets to, are left to it.
void report_static_warnings(std::string_view text) {
  static constexpr std::string_view kLeftToTheRun[] = {"W301", "W302", "W304", "W305",
                                                       "W306", "W501", "W502"};
  CheckWarnings found;
  try {
    found = check_source(text);
  } catch (const Halt &) {
    // Nested too deep for the checks' walks: the run decides for itself
    // whether it can go that deep, as it does without -w.
    return;
  }
  for (const CheckWarning &w : found) {
    bool left = false;
    for (std::string_view code : kLeftToTheRun) left = left || w.code == code;
    if (!left) warn_before_run({w.line, w.column}, w.message);
  }
}

} // namespace

int run_file(const std::string &file, bool debug) {
  if (debug) {
    trace_separator();
    trace_driver("Starting Tovik interpreter...");
  }
  // The extension is checked before the file is touched.
  if (!has_script_extension(file)) {
    report_error("Error: Only .tvk files are allowed.");
    return 1;
  }
  std::string text;
  std::string error = read_source_file(file, text);
  if (!error.empty()) {
    report_error("Error: Failed to read the file: " + error);
    return 1;
  }
  if (debug)
    trace_driver("File read successfully (" + std::to_string(text.size()) + " bytes)");

  Clock::time_point start = Clock::now();
  std::vector<Token> tokens = tokenize(text);
  double tokenize_ms = elapsed_milliseconds(start, Clock::now());
  if (debug)
    trace_driver("Tokenization completed in " + format_milliseconds(tokenize_ms) +
          "ms");

  start = Clock::now();
  std::vector<Stmt> program = parse_program(tokens);
  // The tokens are done with; a long script's run has their room back.
  std::vector<Token>().swap(tokens);
  double parse_ms = elapsed_milliseconds(start, Clock::now());
  if (debug) {
    trace_driver("Parsing completed in " + format_milliseconds(parse_ms) + "ms");
    trace_driver("Starting execution...");
    trace_separator();
  }

  start = Clock::now();
  {
    std::optional<WarningSource> warning_source;
    if (warnings_enabled) {
      warning_source.emplace(file);
      report_static_warnings(text);
    }
    run_program(std::move(program), debug);
  }
  double execute_ms = elapsed_milliseconds(start, Clock::now());
  // The script's output belongs between the separators, also on a console
  // where both streams meet.
  flush_output();
  if (debug) {
    trace_separator();
    trace_driver("Tokenization : " + format_milliseconds(tokenize_ms) + "ms");
    trace_driver("Parsing      : " + format_milliseconds(parse_ms) + "ms");
    trace_driver("Execution    : " + format_milliseconds(execute_ms) + "ms");
    trace_separator();
  }
  return 0;
}

namespace {

// A halted run: what the script printed comes first, then the reason. A
// Halt without a message was reported where it happened.
int report_halt(std::string_view message) {
  try {
    flush_output();
  } catch (const Halt &) {
    // Standard output failed too; that has just been reported.
  }
  if (!message.empty()) report_error(message);
  if (warnings_enabled) report_warning_summary();
  return 1;
}

} // namespace

int run_command(const Command &command) {
  int status = 0;
  warnings_enabled = command.warn;
  try {
#ifdef TOVIK_HALT_INJECTION
    // From here on a halt is reported; what came before is no run yet.
    start_halt_injection();
#endif
    switch (command.kind) {
    case CommandKind::Help:
      print_usage();
      break;
    case CommandKind::Version:
      print_version();
      break;
    case CommandKind::Repl:
      run_repl();
      break;
    case CommandKind::Run:
      set_script_arguments(command.script_args);
      status = run_file(command.file, command.debug);
      break;
    case CommandKind::Check:
      status = check_file(command.file);
      break;
    }
    // Output still buffered can fail here as well as anywhere else.
    flush_output();
    if (warnings_enabled) report_warning_summary();
  } catch (const Halt &halt) {
    return report_halt(halt.message);
  } catch (const std::bad_alloc &) {
    return report_halt("Error: out of memory");
  }
  return status;
}

} // namespace tovik

namespace tovik {

namespace {

int run_arguments(void *context) {
  const auto &arguments = *static_cast<const std::vector<std::string> *>(context);
  return run_command(parse_args(arguments));
}

} // namespace

void run_process(int argc, char **argv) {
  std::vector<std::string> arguments(argv, argv + argc);
  exit_on_reserved_stack(run_arguments, &arguments);
}

} // namespace tovik
