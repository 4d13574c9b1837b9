// Interned names: every identifier spelled the same way maps to one small
// integer, so variable lookups index arrays instead of hashing strings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovik {

using Symbol = uint32_t;

// The symbol for `name`, creating it on first use. Process-wide; the
// interpreter is single-threaded.
Symbol intern(std::string_view name);

// The name a symbol was interned from.
const std::string &symbol_name(Symbol symbol);

// One more than the largest symbol handed out so far.
uint32_t symbol_count();

} // namespace tovik
