// Trimming an input line.
#pragma once

#include <string_view>

namespace tovik {

// `text` without leading and trailing characters that have the Unicode
// White_Space property (the line end among them). `text` must be valid UTF-8.
std::string_view trim_white_space(std::string_view text);

} // namespace tovik
