#include "main/usage.h"

#include "interpreter/builtins/builtins.h"

namespace tovik {

void print_usage() {
  write_output("Tovik - A performant programming language\n"
               "\n"
               "USAGE:\n"
               "    tovik [OPTIONS] [FILE]\n"
               "\n"
               "OPTIONS:\n"
               "    -h, --help       Print this help message\n"
               "    -v, --version    Print the version\n"
               "    -d, --debug      Enable debug output during execution\n"
               "\n"
               "ARGS:\n"
               "    FILE             Path to a .tvk file to execute\n"
               "\n"
               "EXAMPLES:\n"
               "    tovik script.tvk              Run a Tovik script\n"
               "    tovik script.tvk --debug      Run with debug output\n"
               "    tovik                        Start the interactive REPL\n");
}

void print_version() { write_output("Tovik version 1.0.4\n"); }

} // namespace tovik
