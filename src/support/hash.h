// Seeded hashing for every map of the interpreter. The seed is drawn from the
// operating system once per process, so iteration orders differ between runs
// and scripts cannot choose keys that collide.
#pragma once

#include <cstdint>
#include <string_view>

namespace tovik {

uint64_t hash_seed();
uint64_t hash_text(std::string_view text);

} // namespace tovik
