// `tovik --check`: reports likely mistakes in a script without running it.
// It reads the tokens, the parser's repairs and the syntax tree only.
#pragma once

#include <string>
#include <string_view>

#include "check/warning.h"

namespace tovik {

// Every warning for the script `text`, ordered by place. Module files named
// by `use` are looked for in the working directory, as a run does.
CheckWarnings check_source(std::string_view text);

// The command: reads `file` as a run does (same errors, same status), then
// prints each warning as "FILE:LINE:COL: warning: MESSAGE [CODE]" on
// standard error, with the source line and a caret when standard error is
// a terminal. 0 when there was nothing to report, 1 otherwise.
int check_file(const std::string &file);

} // namespace tovik
