// Reading a script or module file as UTF-8 text.
#pragma once

#include <string>
#include <vector>
#include <string_view>

namespace tovik {

// Reads the whole file at `path` into `text`. Returns an empty string on
// success, otherwise the description of the failure: the operating system's
// message, "Not a regular file" for a FIFO, socket or device (found without
// waiting on it), or "stream did not contain valid UTF-8".
std::string read_source_file(const std::string &path, std::string &text);

// The names, without ".tvk", of the script files in the working directory,
// in no particular order: the modules a `use` could name. A directory that
// cannot be read lists nothing.
std::vector<std::string> module_files_here();

// `text` without leading and trailing characters that have the Unicode
// White_Space property (the line end among them). `text` must be valid UTF-8.
std::string_view trim_white_space(std::string_view text);

// True when `text` is well-formed UTF-8.
bool is_valid_utf8(std::string_view text);

} // namespace tovik
