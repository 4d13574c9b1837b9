// The properties of a name character, from ICU: what unicode_icu.cpp answers
// natively and what the web build's table generator writes down, so both
// builds follow one rule.
#pragma once

#include <unicode/uchar.h>

namespace tovik {

// Alphabetic, or a decimal digit, letter number or other number.
inline bool icu_identifier_character(UChar32 code) {
  if (u_hasBinaryProperty(code, UCHAR_ALPHABETIC)) return true;
  switch (u_charType(code)) {
  case U_DECIMAL_DIGIT_NUMBER:
  case U_LETTER_NUMBER:
  case U_OTHER_NUMBER:
    return true;
  default:
    return false;
  }
}

} // namespace tovik
