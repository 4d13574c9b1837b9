// The Unicode character properties and case mappings the scanner, trimming
// and `upper`/`lower` need, behind one small interface. The native build
// answers from ICU (unicode_icu.cpp); the web build, which has no ICU to
// link, answers from tables generated from the host's ICU at build time
// (unicode_tables.cpp), so both builds give the same answers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tovik {

// Alphabetic, or a decimal digit, letter number or other number: what may
// continue a name beyond ASCII.
bool is_identifier_character(int32_t code);

// The White_Space property.
bool is_white_space(int32_t code);

enum class CaseMapping { Upper, Lower };

// The default (root locale) full case mapping of well-formed UTF-8 text into
// `mapped`: one character may become several (ß to SS), and lower-casing
// applies the final-sigma rule. False when memory ran out.
bool map_case(std::string_view text, CaseMapping mapping, std::string &mapped);

} // namespace tovik
