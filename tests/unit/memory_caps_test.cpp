#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include <cstdio>
#include <unistd.h>

#include "interpreter/builtins/input_line.h"
#include "interpreter/compile.h"
#include "interpreter/interpreter.h"
#include "lexer/scanner.h"
#include "parser/parser.h"
#include "support/halt.h"
#include "support/limits.h"
#include "support/source.h"
#include "support/stdin_reader.h"

namespace tovik {
namespace {

// Runs `source` statement by statement on `interp`, as the interactive loop
// does, and returns the message of the Halt that stopped it.
std::string halt_message(Interpreter &interp, std::string_view source) {
  std::vector<ExecStmt> program = compile_program(parse_program(tokenize(source)));
  try {
    for (const ExecStmt &s : program) execute(interp, s);
  } catch (const Halt &halt) {
    return halt.message;
  }
  return "(no halt)";
}

// Lowers the caps for one test, so a value reaches them in a moment; the
// script tests reach the real caps.
struct SmallCaps {
  static constexpr size_t kText = 4096;
  static constexpr size_t kArray = 1000;
  SmallCaps() {
    text_bytes_cap = kText;
    array_length_cap = kArray;
  }
  ~SmallCaps() {
    text_bytes_cap = kMaxTextBytes;
    array_length_cap = kMaxArrayLength;
  }
};

// Pushing onto an array at the cap halts before anything is appended, and
// the variable that handed its array over to push gets it back.
TEST(MemoryCaps, PushAtTheArrayCapHaltsAndKeepsTheVariable) {
  SmallCaps caps;
  Interpreter interp;
  Symbol xs = intern("xs");
  set_variable(interp, xs,
               Value::array(std::vector<Value>(SmallCaps::kArray)));
  EXPECT_EQ(halt_message(interp, "xs = push(xs, 1)"), "Error: out of memory");
  Value kept = get_variable(interp, xs);
  ASSERT_TRUE(kept.is(ValueKind::Array));
  EXPECT_EQ(kept.as_array().size(), SmallCaps::kArray);
}

// A halted `s += t` or `s = s + t` leaves s as it was.
TEST(MemoryCaps, GrowingTextInPlaceHaltsBeforeLettingGo) {
  SmallCaps caps;
  Interpreter interp;
  Symbol s = intern("s");
  set_variable(interp, s, Value::string(std::string(SmallCaps::kText, 'a')));
  EXPECT_EQ(halt_message(interp, "s += \"b\""), "Error: out of memory");
  EXPECT_EQ(get_variable(interp, s).as_text().size(), SmallCaps::kText);
  EXPECT_EQ(halt_message(interp, "s = s + \"b\""), "Error: out of memory");
  EXPECT_EQ(get_variable(interp, s).as_text().size(), SmallCaps::kText);
}

// Each way a script grows a value past a cap halts, and what stays behind
// is released cleanly (the sanitizer build checks that here, where the
// script tests would fill gigabytes first). A text exactly at the cap is
// still made.
TEST(MemoryCaps, EveryWayOfGrowingPastACapHalts) {
  SmallCaps caps;
  Interpreter interp;
  EXPECT_EQ(halt_message(interp, "let s = \"x\"\n"
                                 "while len(s) < 4096 { s = s + s }\n"
                                 "let a = [s]\n"),
            "(no halt)");
  EXPECT_EQ(get_variable(interp, intern("s")).as_text().size(),
            SmallCaps::kText);
  for (const char *growth : {
           "s = s + s",
           "s += s",
           "let t = s + s + s",
           "let t = concat(s, s)",
           "let t = concat(s, \"x\")",
           "let t = upper(s + \"x\")",
           "let pieces = split(concat(s, s), \"\")",
           "let b = [a, a]\nprint(b)",
           "let b = a\nfor i in 0..12 { b = [b, b] }\nlet t = concat(b)",
       }) {
    EXPECT_EQ(halt_message(interp, growth), "Error: out of memory") << growth;
    EXPECT_EQ(get_variable(interp, intern("s")).as_text().size(),
              SmallCaps::kText)
        << growth;
  }
}

// `x = add(x, v)` through a helper that only passes its first parameter on
// grows x's payload in place. At the cap the call halts, and x gets the
// payload back whole: the session goes on with x as it was.
TEST(MemoryCaps, AHelperHaltingAtTheCapGivesThePayloadBack) {
  SmallCaps caps;
  Interpreter interp;
  ASSERT_EQ(halt_message(interp, "def add(a, v) { return push(a, v) }\n"
                                 "def join(a, b) { return concat(a, b) }\n"
                                 "def wrap(s, t) { return s + t }\n"),
            "(no halt)");
  Symbol xs = intern("xs");
  set_variable(interp, xs,
               Value::array(std::vector<Value>(SmallCaps::kArray - 1)));
  const Object *array = find_variable(interp, xs)->object();
  EXPECT_EQ(halt_message(interp, "xs = add(xs, 7)"), "(no halt)");
  ASSERT_EQ(find_variable(interp, xs)->object(), array) << "grown in place";
  EXPECT_EQ(halt_message(interp, "xs = add(xs, 8)"), "Error: out of memory");
  const Value *kept = find_variable(interp, xs);
  ASSERT_NE(kept, nullptr);
  ASSERT_TRUE(kept->is(ValueKind::Array));
  EXPECT_EQ(kept->as_array().size(), SmallCaps::kArray);
  EXPECT_EQ(kept->as_array().back().as_number(), 7);

  for (const char *helper : {"wrap", "join"}) {
    Symbol s = intern("s");
    set_variable(interp, s, Value::string(std::string(SmallCaps::kText - 1, 'a')));
    const Object *text = find_variable(interp, s)->object();
    const std::string grow = std::string("s = ") + helper + "(s, \"b\")";
    EXPECT_EQ(halt_message(interp, grow), "(no halt)") << helper;
    ASSERT_EQ(find_variable(interp, s)->object(), text) << helper;
    EXPECT_EQ(halt_message(interp, grow), "Error: out of memory") << helper;
    const Value *held = find_variable(interp, s);
    ASSERT_NE(held, nullptr) << helper;
    ASSERT_TRUE(held->is(ValueKind::String)) << helper;
    EXPECT_EQ(held->as_text().size(), SmallCaps::kText) << helper;
    EXPECT_EQ(held->as_text().back(), 'b') << helper;
  }
}

// The library's ways of growing a value halt at the caps too, and a
// variable that handed its payload over to insert or set gets it back,
// changed in place until then.
TEST(MemoryCaps, LibraryGrowthHaltsAndKeepsTheVariable) {
  SmallCaps caps;
  Interpreter interp;
  ASSERT_EQ(halt_message(interp, "let s = repeat(\"ab\", 2048)\n"
                                 "let words = split(repeat(\"w \", 999), \" \")\n"),
            "(no halt)");
  ASSERT_EQ(get_variable(interp, intern("s")).as_text().size(), SmallCaps::kText);
  for (const char *growth : {
           "let t = repeat(s, 2)",
           "let t = repeat(\"x\", 9223372036854775807)",
           "let t = join([s, s], \"\")",
           "let t = join(words, s)",
           "let t = replace(s, \"a\", \"aa\")",
           "let t = chars(s)",
       })
    EXPECT_EQ(halt_message(interp, growth), "Error: out of memory") << growth;

  Symbol xs = intern("xs");
  set_variable(interp, xs, Value::array(std::vector<Value>(SmallCaps::kArray - 1)));
  const Object *array = find_variable(interp, xs)->object();
  EXPECT_EQ(halt_message(interp, "xs = insert(xs, 0, 5)\nxs = set(xs, -1, 6)"), "(no halt)");
  ASSERT_EQ(find_variable(interp, xs)->object(), array) << "changed in place";
  EXPECT_EQ(halt_message(interp, "xs = insert(xs, 0, 7)"), "Error: out of memory");
  const Value *kept = find_variable(interp, xs);
  ASSERT_NE(kept, nullptr);
  ASSERT_TRUE(kept->is(ValueKind::Array));
  EXPECT_EQ(kept->as_array().size(), SmallCaps::kArray);
  EXPECT_EQ(kept->as_array().front().as_number(), 5);
  EXPECT_EQ(kept->as_array().back().as_number(), 6);

  EXPECT_EQ(halt_message(interp, "let d = {}\n"
                                 "for i in 0..1000 { d = set(d, concat(\"k\", i), i) }"),
            "(no halt)");
  EXPECT_EQ(halt_message(interp, "d = set(d, \"k5\", 50)\nd = set(d, \"new\", 1)"),
            "Error: out of memory");
  const Value *d = find_variable(interp, intern("d"));
  ASSERT_NE(d, nullptr);
  ASSERT_TRUE(d->is(ValueKind::Dict));
  EXPECT_EQ(d->as_dict().size(), SmallCaps::kArray);
  EXPECT_EQ(d->as_dict().find("k5")->as_number(), 50);
}

// Splitting into more pieces than an array holds halts before the first.
TEST(MemoryCaps, SplittingIntoTooManyPiecesHalts) {
  SmallCaps caps;
  Interpreter interp;
  EXPECT_EQ(halt_message(interp, "let s = \"x\"\n"
                                 "while len(s) < 1024 { s += s }\n"
                                 "let few = split(s, \"xxxx\")\n"),
            "(no halt)");
  EXPECT_EQ(get_variable(interp, intern("few")).as_array().size(), 257u);
  EXPECT_EQ(halt_message(interp, "let pieces = split(s, \"\")"),
            "Error: out of memory");
  EXPECT_EQ(find_variable(interp, intern("pieces")), nullptr);
}

// A line of input is measured while it arrives: one longer than the text
// cap halts once the cap is passed, not when the line finally ends (a line
// from /dev/zero never does), and the lines within the cap read as usual.
TEST(MemoryCaps, AnInputLinePastTheCapHaltsWhileItIsRead) {
  SmallCaps caps;
  std::FILE *file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  std::string fits(SmallCaps::kText - 1, 'a');
  // Far longer than the few blocks read before the cap is passed.
  std::string text = fits + "\n" + std::string(1000 * SmallCaps::kText, 'b');
  ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
  std::fflush(file);
  ASSERT_EQ(lseek(fileno(file), 0, SEEK_SET), 0);
  reset_stdin_reader(fileno(file));
  EXPECT_EQ(read_input_line_from_stdin(), fits);
  std::string message = "(no halt)";
  try {
    read_input_line_from_stdin();
  } catch (const Halt &halt) {
    message = halt.message;
  }
  EXPECT_EQ(message, "Error: out of memory");
  EXPECT_LT(lseek(fileno(file), 0, SEEK_CUR), static_cast<off_t>(text.size() / 2));
  reset_stdin_reader(STDIN_FILENO);
  std::fclose(file);
}

// A file is measured as it is read, as a line of input is.
TEST(MemoryCaps, AFilePastTheCapHaltsWhileItIsRead) {
  SmallCaps caps;
  char path[] = "/tmp/tovik_capXXXXXX";
  int fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  std::string text(3 * SmallCaps::kText, 'a');
  ASSERT_EQ(write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
  close(fd);
  std::string read;
  std::string message = "(no halt)";
  try {
    read_source_file(path, read);
  } catch (const Halt &halt) {
    message = halt.message;
  }
  unlink(path);
  EXPECT_EQ(message, "Error: out of memory");
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
