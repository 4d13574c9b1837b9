// How large a value may grow.
//
// Texts and arrays share their payloads, so a few lines of script can ask
// for a value far larger than the machine: a string doubled in a loop, an
// array nested in itself and then printed. Left alone such a request ends in
// an allocation that fails, or worse, one that succeeds and drives the
// system out of memory. Every place where a value grows checks the result's
// size against these caps first and halts the run with one clear message.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/halt.h"

namespace tovik {

#ifndef TOVIK_FUZZING
// Text: strings and the textual and debug forms built from values.
inline constexpr size_t kMaxTextBytes = size_t{1} << 30; // 1 GiB
// Arrays: 2^27 elements are 2 GiB of values before their payloads.
inline constexpr size_t kMaxArrayLength = size_t{1} << 27;
#else
// Fuzzing wants thousands of runs a second under a small memory limit, and
// one loop step may build a value as large as the caps allow.
inline constexpr size_t kMaxTextBytes = size_t{1} << 16;
inline constexpr size_t kMaxArrayLength = size_t{1} << 12;
#endif

// A range is an array of every number in it; past this many elements it is
// Null, as any operation that cannot apply. A `for` over a range expression
// never builds the array and has no such limit.
inline constexpr uint64_t kMaxRangeLength =
    kMaxArrayLength < (uint64_t{1} << 26) ? kMaxArrayLength
                                          : (uint64_t{1} << 26);

// The caps in force: the constants above, lowered only by tests, which
// then reach a cap without filling gigabytes first. A comparison with a
// variable costs the checks no more instructions than one with a constant.
extern constinit size_t text_bytes_cap;
extern constinit size_t array_length_cap;

// Halts the run with "Error: out of memory".
[[noreturn]] void out_of_memory();

inline void check_text_length(size_t bytes) {
#ifdef TOVIK_HALT_INJECTION
  if (halt_injected()) out_of_memory();
#endif
  if (bytes > text_bytes_cap) [[unlikely]]
    out_of_memory();
}

inline void check_array_length(size_t elements) {
#ifdef TOVIK_HALT_INJECTION
  if (halt_injected()) out_of_memory();
#endif
  if (elements > array_length_cap) [[unlikely]]
    out_of_memory();
}

} // namespace tovik
