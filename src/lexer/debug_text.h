// Text forms shared by the debug output of tokens, the syntax tree and values.
#pragma once

#include <string>
#include <string_view>

namespace tovik {

// Appends `text` in double quotes: backslash before `"` and `\`, the escapes
// \n \r \t \0, and \u{hex} for every other control character.
void append_quoted(std::string &out, std::string_view text);

// Debug form of a double: shortest round-trip digits with at least one
// fractional digit ("3.0", "0.5"), exponent form when the magnitude is at
// least 1e16 or non-zero below 1e-4 ("1e16", "1.5e-5"); "NaN", "inf", "-inf".
void append_debug_double(std::string &out, double value);

// Textual form of a double (what print writes): shortest round-trip digits
// laid out positionally, never an exponent, no fraction when whole
// ("3", "2.5", "0.0000001", "-0"); "NaN", "inf", "-inf".
void append_plain_double(std::string &out, double value);

} // namespace tovik
