// Reading one line of standard input for `input`: the line is trimmed of
// Unicode White_Space at both ends, and a line that is not valid UTF-8 is
// treated as a failed read, so a script only ever sees well-formed text.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "support/source.h"

namespace tovik {

// One line from `in` (its line break included, then trimmed). End of input
// gives the empty text; so does a line that is not valid UTF-8. A read error
// keeps whatever arrived before it.
std::string read_input_line(std::FILE *in);

// The same for standard input, through the buffer the interactive loop
// reads it with: what one reads ahead stays there for the other.
std::string read_input_line_from_stdin();

// As read_input_line_from_stdin, but nothing at the end of input (when no
// byte came before it), so that an empty line and the end can be told apart.
std::optional<std::string> read_input_line_or_end_from_stdin();

} // namespace tovik
