// Trace lines: a coloured tag, the message and a line end on standard
// error. Callers test `debug_enabled` (or the driver's own flag) first, so a
// run without tracing pays one branch per site.
#pragma once

#include <string_view>

namespace tovik {

void trace_driver(std::string_view message); // the script runner's lines
void trace_debug(std::string_view message);  // variable lookup, modules
void trace_call(std::string_view message);   // call resolution

} // namespace tovik
