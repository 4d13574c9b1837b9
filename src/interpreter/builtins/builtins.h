// The builtin library: the functions every script can call by name.
//
// Calling convention shared by all of them: a minimum argument count,
// surplus arguments ignored, Null for a missing or mistyped argument, and
// every check made before any side effect. Arguments arrive as the
// library's own copies, so a builtin may consume them (push appends to its
// argument in place when nobody else holds that array).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "interpreter/builtins/callable_facts.h"
#include "interpreter/value.h"

namespace tovik {

struct GraphicsContext;

// What running a builtin does besides giving its value.
enum class BuiltinEffect : uint8_t {
  Computes, // a value from its arguments alone (random's from its generator)
  Observes, // also reads the window's state, and changes nothing
  Acts,     // prints, reads input, or opens, clears, draws on or shows the window
};

// The one list of builtins, in table order: X(name, least arguments, kinds of
// the inspected arguments, effect). Dispatch, the reasons `-w` gives for a
// null, the counts `--check` asks for and what an assignment may assume of
// the call are all made from it.
#define TOVIK_BUILTINS(X)                                                    \
  X(print, 0, (), Acts)                                                      \
  X(input, 1, (), Acts)                                                      \
  X(typeof, 1, (), Computes)                                                 \
  X(is_number, 0, (), Computes)                                              \
  X(is_string, 0, (), Computes)                                              \
  X(is_array, 0, (), Computes)                                               \
  X(is_dict, 0, (), Computes)                                                \
  X(len, 1, (Sized), Computes)                                               \
  X(upper, 1, (Text), Computes)                                              \
  X(lower, 1, (Text), Computes)                                              \
  X(slice, 3, (Text, Number, Number), Computes)                              \
  X(split, 2, (), Computes)                                                  \
  X(concat, 0, (), Computes)                                                 \
  X(contains, 2, (), Computes)                                               \
  X(push, 2, (List), Computes)                                               \
  X(pop, 1, (List), Computes)                                                \
  X(reverse, 1, (List), Computes)                                            \
  X(abs, 1, (Number), Computes)                                              \
  X(pow, 2, (Number, Number), Computes)                                      \
  X(sqrt, 1, (Number), Computes)                                             \
  X(floor, 1, (Number), Computes)                                            \
  X(ceil, 1, (Number), Computes)                                             \
  X(round, 1, (Number), Computes)                                            \
  X(min, 2, (), Computes)                                                    \
  X(max, 2, (), Computes)                                                    \
  X(random, 0, (), Computes)                                                 \
  X(random_range, 2, (Number, Number), Computes)                             \
  X(window, 2, (Number, Number), Acts)                                       \
  X(clear, 0, (), Acts)                                                      \
  X(present, 0, (), Acts)                                                    \
  X(is_open, 0, (), Observes)                                                \
  X(window_width, 0, (), Observes)                                           \
  X(window_height, 0, (), Observes)                                          \
  X(color, 3, (Number, Number, Number), Computes)                            \
  X(rect, 4, (Number, Number, Number, Number), Computes)                     \
  X(circle, 3, (Number, Number, Number), Computes)                           \
  X(triangle, 6, (Number, Number, Number, Number, Number, Number), Computes) \
  X(draw, 2, (Shape, Color), Acts)                                           \
  X(fill, 2, (Shape, Color), Acts)

enum class BuiltinId : uint8_t {
#define TOVIK_BUILTIN_ENUM(name, least, kinds, effect) name,
  TOVIK_BUILTINS(TOVIK_BUILTIN_ENUM)
#undef TOVIK_BUILTIN_ENUM
};

inline constexpr int kBuiltinCount = 0
#define TOVIK_BUILTIN_COUNT(name, least, kinds, effect) +1
    TOVIK_BUILTINS(TOVIK_BUILTIN_COUNT)
#undef TOVIK_BUILTIN_COUNT
    ;
static_assert(kBuiltinCount == 39);

using Args = std::span<Value>;

// One function per builtin: builtin_print, builtin_len, ...
#define TOVIK_BUILTIN_DECLARE(name, least, kinds, effect)                    \
  Value builtin_##name(Args args, GraphicsContext &graphics);
TOVIK_BUILTINS(TOVIK_BUILTIN_DECLARE)
#undef TOVIK_BUILTIN_DECLARE

// Exact, case-sensitive lookup of a builtin name.
std::optional<BuiltinId> find_builtin(std::string_view name);
std::string_view builtin_name(BuiltinId id);
const CallableFacts &builtin_facts(BuiltinId id);
BuiltinEffect builtin_effect(BuiltinId id);
// Whether `name` is a builtin that acts: running it can be seen.
bool is_acting_builtin(std::string_view name);

Value call_builtin_id(BuiltinId id, Args args, GraphicsContext &graphics);

// The library's entry: a value when `name` is a builtin, nothing otherwise.
std::optional<Value> call_builtin(std::string_view name, Args args,
                                  GraphicsContext &graphics);

// Argument conversions shared by the numeric, shape and graphics functions.
inline bool is_numeric(const Value &v) {
  return v.is(ValueKind::Number) || v.is(ValueKind::Float);
}
int64_t saturate_to_integer(double d);
// Float truncated toward zero, saturating at the 64-bit limits, NaN gives 0.
// Inline: indices and counts are read on every call of slice and the like.
inline int64_t to_integer(const Value &v) {
  if (v.is(ValueKind::Number)) return v.as_number();
  if (v.is(ValueKind::Float)) return saturate_to_integer(v.as_float());
  return 0;
}
double to_real(const Value &v);
// The low bits of to_integer, for 32-bit coordinates and 8-bit components.
inline int32_t to_int32(const Value &v) {
  return static_cast<int32_t>(static_cast<uint32_t>(to_integer(v)));
}
inline uint32_t to_uint32(const Value &v) {
  return static_cast<uint32_t>(to_integer(v));
}
inline uint8_t to_uint8(const Value &v) {
  return static_cast<uint8_t>(to_integer(v));
}

// Standard output used by print and the prompts: buffered, flushed before
// reading input and at exit. A failure to write halts the run: it is
// reported on standard error once (a closed pipe is not), and the Halt
// carries no message of its own.
void write_output(std::string_view text);
void flush_output();

} // namespace tovik
