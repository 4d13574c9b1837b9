// Suggestions for a mistyped name: the checker and the runtime warnings
// offer the same "did you mean" for the same mistake.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tovik {

// The candidate `name` most likely meant, or empty when none is close: one
// that differs only in case first, else the one fewest edits away (a swap
// of two neighbouring letters counts as one edit), within a number of
// edits that grows with the length of `name`. The work per candidate is
// bounded whatever the names' lengths.
std::string closest_name(std::string_view name, const std::vector<std::string_view> &candidates);

// The same for the name of a function called, where the names other
// languages give to a builtin's work (`length`, `append`, `substr`, and
// their near misses) suggest that builtin.
std::string closest_function(std::string_view name,
                             const std::vector<std::string_view> &candidates);

// For a function of other languages that has a form of its own here
// (`range`), the message that shows it; empty for any other name.
std::string_view foreign_function_hint(std::string_view name);

} // namespace tovik
