#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "interpreter/compile.h"
#include "interpreter/interpreter.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/halt.h"
#include "support/limits.h"

namespace tovik {
namespace {

// Runs `source` statement by statement on `interp`, as the interactive loop
// does, and returns the message of the Halt that stopped it.
std::string halt_message(Interpreter &interp, std::string_view source) {
  std::vector<ExecStmt> program = compile_block(parse_program(tokenize(source)));
  try {
    for (const ExecStmt &s : program) execute(interp, s);
  } catch (const Halt &halt) {
    return halt.message;
  }
  return "(no halt)";
}

// Pushing onto an array at the cap halts before anything is appended, and
// the variable that handed its array over to push gets it back. (A script
// would need 2^27 pushes to get here; the test builds the array directly.)
TEST(MemoryCaps, PushAtTheArrayCapHaltsAndKeepsTheVariable) {
  Interpreter interp;
  Symbol xs = intern("xs");
  set_variable(interp, xs,
               Value::array(std::vector<Value>(kMaxArrayLength)));
  EXPECT_EQ(halt_message(interp, "xs = push(xs, 1)"), "Error: out of memory");
  Value kept = get_variable(interp, xs);
  ASSERT_TRUE(kept.is(ValueKind::Array));
  EXPECT_EQ(kept.as_array().size(), kMaxArrayLength);
}

// A halted `s += t` or `s = s + t` leaves s as it was.
TEST(MemoryCaps, GrowingTextInPlaceHaltsBeforeLettingGo) {
  Interpreter interp;
  Symbol s = intern("s");
  set_variable(interp, s, Value::string(std::string(kMaxTextBytes, 'a')));
  EXPECT_EQ(halt_message(interp, "s += \"b\""), "Error: out of memory");
  EXPECT_EQ(get_variable(interp, s).as_text().size(), kMaxTextBytes);
  EXPECT_EQ(halt_message(interp, "s = s + \"b\""), "Error: out of memory");
  EXPECT_EQ(get_variable(interp, s).as_text().size(), kMaxTextBytes);
}

// A halt while a call's later argument is evaluated releases the arguments
// already evaluated, whichever way the call is made: afterwards the variable
// is again the only holder of its array.
TEST(HaltedCalls, ReleaseTheArgumentsAlreadyEvaluated) {
  for (const char *call :
       {"len(xs, stop())", "keep(xs, stop())", "concat(xs, 1, 2, 3, stop())"}) {
    Interpreter interp;
    EXPECT_EQ(halt_message(interp, "def stop() { return 0 }\n"
                                   "def keep(a, b) { return a }\n"
                                   "let xs = [1, 2]"),
              "(no halt)");
    interrupt_requested = 1; // the next call or loop step halts
    EXPECT_EQ(halt_message(interp, call), "Interrupted") << call;
    const Value *xs = find_variable(interp, intern("xs"));
    ASSERT_NE(xs, nullptr);
    EXPECT_EQ(xs->object()->refcount, 1u) << call;
  }
}

} // namespace
} // namespace tovik
