// What is known of a builtin or library function before it runs, in one
// record for both tables: how many arguments it needs and how many mean
// anything, and the kind each inspected argument must have. `--check`
// counts a call's arguments with it; `-w` explains a null with it.
#pragma once

#include <array>
#include <cstdint>

namespace tovik {

enum class ArgumentKind : uint8_t {
  Any,
  Number, // integer or float
  Text,
  List,
  Dict,
  ListOrDict,
  ListOrText,
  Sized, // text, array or dictionary
  Shape, // rect, circle or triangle
  Color,
};

// The builtins take surplus arguments without a word; only the library
// names the most that mean anything.
inline constexpr uint8_t kAnyNumberOfArguments = UINT8_MAX;

struct CallableFacts {
  uint8_t least = 0;
  uint8_t most = kAnyNumberOfArguments;
  std::array<ArgumentKind, 6> kinds{}; // per argument, Any beyond those listed
};

// A table row's kinds column, written `(Text, Number)`, as an initializer.
#define TOVIK_ARGUMENT_KINDS(...) {__VA_ARGS__}

} // namespace tovik
