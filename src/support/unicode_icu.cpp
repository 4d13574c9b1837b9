#include "support/unicode.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include "support/limits.h"
#include "support/unicode_icu_rules.h"

namespace tovik {

bool is_identifier_character(int32_t code) { return icu_identifier_character(code); }

bool is_white_space(int32_t code) { return u_isUWhiteSpace(code); }

bool map_case(std::string_view text, CaseMapping mapping,
              std::string &mapped) {
  icu::UnicodeString units = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
  switch (mapping) {
  case CaseMapping::Upper:
    units.toUpper(icu::Locale::getRoot());
    break;
  case CaseMapping::Lower:
    units.toLower(icu::Locale::getRoot());
    break;
  }
  // ICU marks a string it could not allocate as bogus rather than failing.
  if (units.isBogus()) return false;
  // A character may map to up to three, so the result can outgrow the text.
  check_text_length(static_cast<size_t>(units.length()));
  units.toUTF8String(mapped);
  return true;
}

} // namespace tovik
