// Lookups in the tables of names that X-macro lists generate (the builtins,
// the library), so each table needs no search of its own.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace tovik {

// The position of `name` in `names`, or nothing when it is not there.
inline std::optional<size_t> position_of(std::span<const std::string_view> names,
                                         std::string_view name) {
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return i;
  return std::nullopt;
}

} // namespace tovik
