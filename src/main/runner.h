// The script runner: read, scan, parse and run one file, with an optional
// trace of the phases and their timings on standard error.
#pragma once

#include <string>
#include <string_view>

#include "main/args.h"

namespace tovik {

// Carries out `command` and returns the process exit status. A run halted
// by the interpreter (recursion limit, out of memory) reports its message
// on standard error and yields 1.
int run_command(const Command &command);

// The whole process: the command line read and carried out on a stack
// reserved for the run, where the recursion guard knows exactly how deep
// scripts may go. Does not return.
[[noreturn]] void run_process(int argc, char **argv);

// Runs one script. Returns 0, or 1 after reporting a wrong extension or an
// unreadable file on standard error.
int run_file(const std::string &file, bool debug);

// True when the final path component (both "/" and "\" separate, trailing
// separators do not count) is at least one character followed by ".tvk".
bool has_script_extension(std::string_view path);

// A span of the monotonic clock in milliseconds with three decimals.
std::string format_milliseconds(double milliseconds);

} // namespace tovik
