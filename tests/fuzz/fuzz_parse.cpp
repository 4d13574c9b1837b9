// The parser never fails: any token list gives a program, whose rendering
// and deep copy must agree, and which is released without a trace.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexer/scanner.h"
#include "parser/ast.h"
#include "parser/parser.h"
#include "support/halt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view text(reinterpret_cast<const char *>(data), size);
  std::vector<tovik::Token> tokens = tovik::tokenize(text);
  try {
    std::vector<tovik::Stmt> program = tovik::parse_program(tokens);
    std::vector<tovik::Stmt> copy = tovik::copy_stmts(program);
    if (tovik::render_stmts(copy) != tovik::render_stmts(program))
      __builtin_trap();
  } catch (const tovik::Halt &) {
    // Nesting deeper than the native stack allows halts the run; that is
    // the one orderly way out.
  }
  return 0;
}
