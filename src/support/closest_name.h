// Suggestions for a mistyped name: the checker and the runtime warnings
// offer the same "did you mean" for the same mistake.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovik {

// The closest of `candidates` to `name` within a small edit distance, or
// empty when none is close.
std::string closest_name(std::string_view name, const std::vector<std::string_view> &candidates);

} // namespace tovik
