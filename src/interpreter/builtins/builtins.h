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

#include "interpreter/value.h"

namespace tovik {

struct GraphicsContext;

// The one list of builtins, in table order: X(name).
#define TOVIK_BUILTINS(X)                                                    \
  X(print)                                                                   \
  X(input)                                                                   \
  X(typeof)                                                                  \
  X(is_number)                                                               \
  X(is_string)                                                               \
  X(is_array)                                                                \
  X(is_dict)                                                                 \
  X(len)                                                                     \
  X(upper)                                                                   \
  X(lower)                                                                   \
  X(slice)                                                                   \
  X(split)                                                                   \
  X(concat)                                                                  \
  X(contains)                                                                \
  X(push)                                                                    \
  X(pop)                                                                     \
  X(reverse)                                                                 \
  X(abs)                                                                     \
  X(pow)                                                                     \
  X(sqrt)                                                                    \
  X(floor)                                                                   \
  X(ceil)                                                                    \
  X(round)                                                                   \
  X(min)                                                                     \
  X(max)                                                                     \
  X(random)                                                                  \
  X(random_range)                                                            \
  X(window)                                                                  \
  X(clear)                                                                   \
  X(present)                                                                 \
  X(is_open)                                                                 \
  X(window_width)                                                            \
  X(window_height)                                                           \
  X(color)                                                                   \
  X(rect)                                                                    \
  X(circle)                                                                  \
  X(triangle)                                                                \
  X(draw)                                                                    \
  X(fill)

enum class BuiltinId : uint8_t {
#define TOVIK_BUILTIN_ENUM(name) name,
  TOVIK_BUILTINS(TOVIK_BUILTIN_ENUM)
#undef TOVIK_BUILTIN_ENUM
};

inline constexpr int kBuiltinCount = 0
#define TOVIK_BUILTIN_COUNT(name) +1
    TOVIK_BUILTINS(TOVIK_BUILTIN_COUNT)
#undef TOVIK_BUILTIN_COUNT
    ;
static_assert(kBuiltinCount == 39);

using Args = std::span<Value>;

// One function per builtin: builtin_print, builtin_len, ...
#define TOVIK_BUILTIN_DECLARE(name)                                          \
  Value builtin_##name(Args args, GraphicsContext &graphics);
TOVIK_BUILTINS(TOVIK_BUILTIN_DECLARE)
#undef TOVIK_BUILTIN_DECLARE

// Exact, case-sensitive lookup of a builtin name.
std::optional<BuiltinId> find_builtin(std::string_view name);
std::string_view builtin_name(BuiltinId id);

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
