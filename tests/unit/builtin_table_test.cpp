// The builtins' table against what the builtins do: a builtin said to
// compute or observe shows nothing, reads nothing and leaves the window as
// it was, one said to compute answers alike with a window or none, and each
// least argument count is where the null for too few arguments ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/context.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/random.h"
#include "interpreter/dict.h"
#include "recording_canvas.h"
#include "support/stdin_reader.h"

namespace tovik {
namespace {

using MakeValue = std::function<Value()>;

// One value of every kind an argument can have. Made afresh for each call,
// since a builtin may consume its arguments.
const std::vector<MakeValue> &every_kind() {
  static const std::vector<MakeValue> kinds = {
      [] { return Value(); },
      [] { return Value::boolean(true); },
      [] { return Value::number(7); },
      [] { return Value::real(-2.5); },
      [] { return Value::string("ab c"); },
      [] { return Value::string(""); },
      [] { return Value::array({Value::number(1), Value::string("x")}); },
      [] { return Value::array({}); },
      [] {
        Dict d;
        d.set("k", Value::number(1));
        return Value::dict(std::move(d));
      },
      [] { return Value::rect({1, 2, 3, 4}); },
      [] { return Value::color({1, 2, 3}); },
  };
  return kinds;
}

// A value that has `kind`; `filler` where any will do.
Value value_of_kind(ArgumentKind kind, const MakeValue &filler) {
  switch (kind) {
  case ArgumentKind::Number: return Value::number(3);
  case ArgumentKind::Text:
  case ArgumentKind::Sized:
  case ArgumentKind::ListOrText: return Value::string("abc");
  case ArgumentKind::List:
  case ArgumentKind::ListOrDict: return Value::array({Value::number(1), Value::number(2)});
  case ArgumentKind::Dict: return Value::dict(Dict());
  case ArgumentKind::Shape: return Value::rect({1, 2, 3, 4});
  case ArgumentKind::Color: return Value::color({9, 8, 7});
  case ArgumentKind::Any: break;
  }
  return filler();
}

std::vector<Value> arguments(size_t count, const MakeValue &make) {
  std::vector<Value> out;
  for (size_t i = 0; i < count; ++i) out.push_back(make());
  return out;
}

// Every argument list the effect tests try: none, one to six arguments all
// of one kind, and the kinds the table asks for.
std::vector<std::vector<Value>> argument_lists(BuiltinId id) {
  std::vector<std::vector<Value>> lists{{}};
  for (const MakeValue &make : every_kind())
    for (size_t count : {1, 2, 3, 6}) lists.push_back(arguments(count, make));
  const CallableFacts &facts = builtin_facts(id);
  for (const MakeValue &filler : every_kind()) {
    std::vector<Value> fitting;
    for (size_t i = 0; i < facts.least; ++i) fitting.push_back(value_of_kind(facts.kinds[i], filler));
    lists.push_back(std::move(fitting));
  }
  return lists;
}

// A window that is open and records what is done to it.
struct OpenWindow {
  GraphicsContext graphics;
  RecordingCanvas *canvas;
  OpenWindow() {
    auto owned = std::make_unique<RecordingCanvas>(640, 480);
    canvas = owned.get();
    graphics.canvas = std::move(owned);
    graphics.open = true;
    graphics.draw_colour = {10, 20, 30, 255};
    graphics.input.mouse_x = 5;
  }
};

// What of a window's state a builtin could change.
struct WindowState {
  size_t canvas_calls;
  bool open;
  DrawColour colour;
  int32_t mouse_x;
  bool paced;
  bool operator==(const WindowState &) const = default;
};

WindowState state_of(const OpenWindow &window) {
  return {window.canvas->calls.size(), window.graphics.open, window.graphics.draw_colour,
          window.graphics.input.mouse_x, window.graphics.pacer.previous.has_value()};
}

// Standard input is a pipe holding one line, so that a builtin that reads
// it takes the line away.
class BuiltinTable : public ::testing::Test {
protected:
  void SetUp() override { fill_input(); }
  void TearDown() override {
    reset_stdin_reader(STDIN_FILENO);
    if (reader_ >= 0) close(reader_);
  }
  void fill_input() {
    if (reader_ >= 0) close(reader_);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    ASSERT_EQ(write(fds[1], "line\n", 5), 5);
    close(fds[1]);
    reader_ = fds[0];
    reset_stdin_reader(reader_);
  }
  static bool input_untouched() {
    std::string line;
    return read_stdin_line(line, nullptr) == StdinRead::Line && line == "line\n";
  }

  // Whether calling `id` with each argument list showed output, read input
  // or changed the window.
  struct Seen {
    bool output = false, input = false, window = false;
  };
  Seen run_with_every_list(BuiltinId id) {
    fill_input();
    Seen seen;
    OpenWindow window;
    const WindowState before = state_of(window);
    testing::internal::CaptureStdout();
    for (std::vector<Value> &args : argument_lists(id)) {
      call_builtin_id(id, args, window.graphics);
      if (!(state_of(window) == before)) seen.window = true;
    }
    flush_output();
    seen.output = !testing::internal::GetCapturedStdout().empty();
    seen.input = !input_untouched();
    return seen;
  }

  int reader_ = -1;
};

std::vector<BuiltinId> builtins_with(BuiltinEffect effect) {
  std::vector<BuiltinId> out;
  for (int i = 0; i < kBuiltinCount; ++i)
    if (builtin_effect(static_cast<BuiltinId>(i)) == effect) out.push_back(static_cast<BuiltinId>(i));
  return out;
}

TEST_F(BuiltinTable, BuiltinsThatComputeOrObserveShowNothingReadNothingAndLeaveTheWindow) {
  for (BuiltinEffect effect : {BuiltinEffect::Computes, BuiltinEffect::Observes})
    for (BuiltinId id : builtins_with(effect)) {
      Seen seen = run_with_every_list(id);
      EXPECT_FALSE(seen.output) << builtin_name(id) << " printed";
      EXPECT_FALSE(seen.input) << builtin_name(id) << " read input";
      EXPECT_FALSE(seen.window) << builtin_name(id) << " changed the window";
    }
}

// The same harness sees every builtin that acts (but window, which would
// open a real one): the checks above can fail.
TEST_F(BuiltinTable, BuiltinsThatActAreSeenByTheSameChecks) {
  for (BuiltinId id : builtins_with(BuiltinEffect::Acts)) {
    if (id == BuiltinId::window) continue;
    Seen seen = run_with_every_list(id);
    EXPECT_TRUE(seen.output || seen.input || seen.window) << builtin_name(id) << " was not seen";
  }
}

TEST_F(BuiltinTable, BuiltinsThatComputeAnswerAlikeWithAWindowOrNone) {
  for (BuiltinId id : builtins_with(BuiltinEffect::Computes)) {
    std::vector<std::vector<Value>> with = argument_lists(id), without = argument_lists(id);
    OpenWindow window;
    GraphicsContext closed;
    for (size_t i = 0; i < with.size(); ++i) {
      restart_random_stream(i);
      Value open_result = call_builtin_id(id, with[i], window.graphics);
      restart_random_stream(i);
      Value closed_result = call_builtin_id(id, without[i], closed);
      EXPECT_EQ(to_debug(open_result), to_debug(closed_result)) << builtin_name(id) << " list " << i;
    }
  }
  // And one that observes does not, so the comparison can tell them apart.
  OpenWindow window;
  GraphicsContext closed;
  EXPECT_NE(to_debug(call_builtin_id(BuiltinId::window_width, {}, window.graphics)),
            to_debug(call_builtin_id(BuiltinId::window_width, {}, closed)));
}

// Below its least count a builtin gives null whatever the arguments, those
// of the kinds its row names included, and at it a builtin that computes
// gives a value for arguments of those kinds (any kind filling the others,
// for some kind).
TEST_F(BuiltinTable, LeastCountIsWhereTheNullForTooFewArgumentsEnds) {
  for (int i = 0; i < kBuiltinCount; ++i) {
    const auto id = static_cast<BuiltinId>(i);
    const CallableFacts &facts = builtin_facts(id);
    OpenWindow window;
    for (size_t count = 0; count < facts.least; ++count)
      for (const MakeValue &make : every_kind()) {
        std::vector<Value> alike = arguments(count, make), fitting;
        for (size_t k = 0; k < count; ++k) fitting.push_back(value_of_kind(facts.kinds[k], make));
        for (std::vector<Value> *args : {&alike, &fitting})
          EXPECT_TRUE(call_builtin_id(id, *args, window.graphics).is_null())
              << builtin_name(id) << " with " << count << " arguments";
      }
    if (builtin_effect(id) != BuiltinEffect::Computes || facts.least == 0) continue;
    bool answered = false;
    for (const MakeValue &filler : every_kind()) {
      std::vector<Value> args;
      for (size_t k = 0; k < facts.least; ++k) args.push_back(value_of_kind(facts.kinds[k], filler));
      answered = answered || !call_builtin_id(id, args, window.graphics).is_null();
    }
    EXPECT_TRUE(answered) << builtin_name(id) << " gave null with " << int(facts.least)
                          << " arguments of the kinds its row names";
  }
}

} // namespace
} // namespace tovik
