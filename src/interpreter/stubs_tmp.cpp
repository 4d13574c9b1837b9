#include "interpreter/interpreter.h"
namespace tovik {
bool debug_enabled = false;
Interpreter::Interpreter() = default;
Interpreter::~Interpreter() = default;
void run_program(const std::vector<Stmt> &, bool debug) { debug_enabled = debug; }
} // namespace tovik
