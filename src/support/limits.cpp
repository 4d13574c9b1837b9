#include "support/limits.h"

namespace tovik {

constinit size_t text_bytes_cap = kMaxTextBytes;
constinit size_t array_length_cap = kMaxArrayLength;

} // namespace tovik
