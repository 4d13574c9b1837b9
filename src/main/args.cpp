#include "main/args.h"

#include <cstddef>

namespace tovik {

namespace {

Command command_of(CommandKind kind) {
  Command command;
  command.kind = kind;
  return command;
}

} // namespace

Command parse_args(const std::vector<std::string> &arguments) {
  Command command;
  bool has_file = false;
  bool debug = false;
  bool check = false;
  bool warn = false;
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string &arg = arguments[i];
    // Help and version win at once, even over a file already seen.
    if (arg == "-h" || arg == "--help") return command_of(CommandKind::Help);
    if (arg == "-v" || arg == "--version")
      return command_of(CommandKind::Version);
    if (arg == "-d" || arg == "--debug") {
      debug = true;
    } else if (arg == "--check") {
      check = true;
    } else if (arg == "-w" || arg == "--warn") {
      warn = true;
    } else if (arg.empty() || arg.front() == '-') {
      // Unknown options are ignored rather than rejected, so a path that
      // begins with "-" is never run.
    } else if (!has_file) {
      command.file = arg;
      has_file = true;
      command.script_args.assign(arguments.begin() + static_cast<ptrdiff_t>(i) + 1,
                                 arguments.end());
    }
  }
  // Without a file the interactive loop starts, and it never traces; it
  // warns when asked to.
  if (!has_file) {
    Command repl = command_of(CommandKind::Repl);
    repl.warn = warn;
    return repl;
  }
  command.kind = check ? CommandKind::Check : CommandKind::Run;
  command.debug = debug && !check;
  command.warn = warn && !check;
  return command;
}

} // namespace tovik
