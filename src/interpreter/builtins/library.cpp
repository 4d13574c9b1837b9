// The library's table: names, argument facts and dispatch.
#include "interpreter/builtins/library.h"

#include <array>

#include "support/name_table.h"

namespace tovik {

namespace {

using LibraryFn = Value (*)(LibraryArgs, Interpreter &);

constexpr std::array<LibraryFn, kLibraryCount> kFunctions = {
#define TOVIK_LIBRARY_FN(ident, name, least, most, kinds) &library_##ident,
    TOVIK_LIBRARY(TOVIK_LIBRARY_FN)
#undef TOVIK_LIBRARY_FN
};

constexpr std::array<std::string_view, kLibraryCount> kNames = {
#define TOVIK_LIBRARY_NAME(ident, name, least, most, kinds) name,
    TOVIK_LIBRARY(TOVIK_LIBRARY_NAME)
#undef TOVIK_LIBRARY_NAME
};

using enum ArgumentKind;

constexpr std::array<CallableFacts, kLibraryCount> kFacts = {
#define TOVIK_LIBRARY_FACTS(ident, name, least, most, kinds)                 \
  CallableFacts{least, most, TOVIK_ARGUMENT_KINDS kinds},
    TOVIK_LIBRARY(TOVIK_LIBRARY_FACTS)
#undef TOVIK_LIBRARY_FACTS
};

} // namespace

std::optional<LibraryId> find_library(std::string_view name) {
  if (std::optional<size_t> i = position_of(kNames, name)) return static_cast<LibraryId>(*i);
  return std::nullopt;
}

std::string_view library_name(LibraryId id) {
  return kNames[static_cast<size_t>(id)];
}

const CallableFacts &library_facts(LibraryId id) {
  return kFacts[static_cast<size_t>(id)];
}

std::span<const std::string_view> library_names() { return kNames; }

Value call_library(LibraryId id, LibraryArgs args, Interpreter &interp) {
  return kFunctions[static_cast<size_t>(id)](args, interp);
}

} // namespace tovik
