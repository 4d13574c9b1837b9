// Turning the command line into the one thing the process will do.
#pragma once

#include <string>
#include <vector>

namespace tovik {

enum class CommandKind { Help, Version, Repl, Run, Check };

struct Command {
  CommandKind kind = CommandKind::Repl;
  std::string file;   // Run, Check: the script path, never empty
  bool debug = false; // Run: trace lines and phase timings on stderr
  bool warn = false;  // Run, Repl: runtime warnings on stderr
  // Run: every argument after the script path, as given, for the script's
  // args(). They are read as options all the same.
  std::vector<std::string> script_args;
};

// `arguments` is the whole list, the program name first.
Command parse_args(const std::vector<std::string> &arguments);

} // namespace tovik
