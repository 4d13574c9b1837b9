// The help text and the version line.
#pragma once

namespace tovik {

void print_usage();
void print_version();

} // namespace tovik
