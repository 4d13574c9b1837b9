// The library: functions found only where a call's name resolves to nothing
// else. A user function, a variable holding a function, a builtin or an
// `sdl2.` function of the same name always answers first, so a script that
// ran before these names existed runs exactly as it did: only calls that
// gave null can now give something.
//
// They follow the builtins' convention: surplus arguments ignored, null for
// a missing or mistyped argument, every check before any side effect. The
// file functions give an Error value with the system's reason instead, which
// a `try` catches as it catches the graphics library's.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/builtins/callable_facts.h"
#include "interpreter/value.h"

namespace tovik {

struct Interpreter;

// The one list of library functions: X(identifier, name, least arguments,
// most arguments that mean anything, kind the first argument must have).
// The identifier differs from the name only where the name is a C++
// keyword. Grouped as their source files are. draw_text's arguments have
// reasons of their own (warning_library.cpp).
#define TOVIK_LIBRARY(X)                                                     \
  /* library_collections.cpp */                                              \
  X(set, "set", 3, 3, (ListOrDict))                                          \
  X(remove, "remove", 2, 2, (ListOrDict))                                    \
  X(insert, "insert", 3, 3, (List))                                          \
  X(has, "has", 2, 2, (ListOrDict))                                          \
  X(keys, "keys", 1, 1, (Dict))                                              \
  X(values, "values", 1, 1, (Dict))                                          \
  X(index_of, "index_of", 2, 2, (ListOrText))                                \
  X(sort, "sort", 1, 2, (List))                                              \
  X(sublist, "sublist", 3, 3, (List))                                        \
  X(join, "join", 2, 2, (List))                                              \
  /* library_text.cpp */                                                     \
  X(to_number, "to_number", 1, 1, (Text))                                    \
  X(to_float, "to_float", 1, 1, (Number))                                    \
  X(to_int, "to_int", 1, 1, (Number))                                        \
  X(chars, "chars", 1, 1, (Text))                                            \
  X(char_count, "char_count", 1, 1, (Text))                                  \
  X(replace, "replace", 3, 3, (Text))                                        \
  X(trim, "trim", 1, 1, (Text))                                              \
  X(starts_with, "starts_with", 2, 2, (Text))                                \
  X(ends_with, "ends_with", 2, 2, (Text))                                    \
  X(repeat, "repeat", 2, 2, (Text))                                          \
  X(compare, "compare", 2, 2, ())                                            \
  X(code, "code", 1, 1, (Text))                                              \
  X(character, "char", 1, 1, (Number))                                       \
  X(is_null, "is_null", 1, 1, ())                                            \
  /* library_numbers.cpp */                                                  \
  X(sin, "sin", 1, 1, (Number))                                              \
  X(cos, "cos", 1, 1, (Number))                                              \
  X(tan, "tan", 1, 1, (Number))                                              \
  X(atan2, "atan2", 2, 2, (Number))                                          \
  X(exp, "exp", 1, 1, (Number))                                              \
  X(log, "log", 1, 1, (Number))                                              \
  X(pi, "pi", 0, 0, ())                                                      \
  X(clock, "clock", 0, 0, ())                                                \
  X(sleep, "sleep", 1, 1, ())                                                \
  /* library_files.cpp */                                                    \
  X(read_file, "read_file", 1, 1, (Text))                                    \
  X(write_file, "write_file", 2, 2, (Text))                                  \
  X(args, "args", 0, 0, ())                                                  \
  X(read_line, "read_line", 0, 0, ())                                        \
  /* graphics/library_window.cpp */                                         \
  X(key_down, "key_down", 1, 1, (Text))                                      \
  X(mouse_x, "mouse_x", 0, 0, ())                                            \
  X(mouse_y, "mouse_y", 0, 0, ())                                            \
  X(mouse_down, "mouse_down", 0, 0, ())                                      \
  X(draw_text, "draw_text", 5, 5, ())

enum class LibraryId : uint8_t {
#define TOVIK_LIBRARY_ENUM(ident, name, least, most, kinds) ident,
  TOVIK_LIBRARY(TOVIK_LIBRARY_ENUM)
#undef TOVIK_LIBRARY_ENUM
};

inline constexpr int kLibraryCount = 0
#define TOVIK_LIBRARY_COUNT(ident, name, least, most, kinds) +1
    TOVIK_LIBRARY(TOVIK_LIBRARY_COUNT)
#undef TOVIK_LIBRARY_COUNT
    ;

using LibraryArgs = std::span<Value>;

// One function per name: library_set, library_sort, ... `sort` calls back
// into the script, hence the interpreter.
#define TOVIK_LIBRARY_DECLARE(ident, name, least, most, kinds)                      \
  Value library_##ident(LibraryArgs args, Interpreter &interp);
TOVIK_LIBRARY(TOVIK_LIBRARY_DECLARE)
#undef TOVIK_LIBRARY_DECLARE

// Exact, case-sensitive lookup of a library name.
std::optional<LibraryId> find_library(std::string_view name);
std::string_view library_name(LibraryId id);
const CallableFacts &library_facts(LibraryId id);
// Every library name, in table order (for suggestions and checks).
std::span<const std::string_view> library_names();

// Runs the function. Arguments are the library's own, and may be consumed.
Value call_library(LibraryId id, LibraryArgs args, Interpreter &interp);

// The functions that give back their first argument changed (`x = set(x,
// k, v)`) and run no script code: the caller may hand over the variable's
// payload, so that the only holder changes it in place. (Not sort: its
// comparisons may read the variable.)
inline bool library_updates_first_argument(LibraryId id) {
  return id == LibraryId::set || id == LibraryId::remove || id == LibraryId::insert;
}

// The command-line arguments after the script file, as `args()` gives them;
// set by the driver before the script runs.
void set_script_arguments(std::vector<std::string> arguments);

// -1, 0 or 1 for two numbers (by value, integers and floats alike) or two
// texts (byte order); nothing for other kinds, a NaN included.
std::optional<int> library_order(const Value &a, const Value &b);

} // namespace tovik
