#include <cstdio>
#include <fstream>
#include <sstream>

#include "interpreter/interpreter.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "repl/repl.h"

// Placeholder driver until the command line lands.
int main(int argc, char **argv) {
  if (argc < 2) {
    tovik::run_repl();
    return 0;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string source = ss.str();
  auto tokens = tovik::tokenize(source);
  auto program = tovik::parse_program(tokens);
  tovik::run_program(program, false);
  std::fflush(stdout);
  return 0;
}
