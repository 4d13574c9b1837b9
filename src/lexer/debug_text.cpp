#include "lexer/debug_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tovik {

void append_quoted(std::string &out, std::string_view text) {
  out += '"';
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    unsigned char u = static_cast<unsigned char>(c);
    // U+0080..U+009F, the second block of control characters, is the UTF-8
    // pair C2 80..C2 9F: escaped like the ASCII ones, by code point.
    if (u == 0xc2 && i + 1 < text.size()) {
      unsigned char next = static_cast<unsigned char>(text[i + 1]);
      if (next >= 0x80 && next <= 0x9f) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "\\u{%x}", unsigned{next});
        out += buf;
        ++i;
        continue;
      }
    }
    switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    case '\0': out += "\\0"; break;
    default:
      if (u < 0x20 || u == 0x7f) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "\\u{%x}", u);
        out += buf;
      } else {
        out += c;
      }
    }
  }
  out += '"';
}

namespace {

// Shortest round-trip digits and decimal exponent: value = 0.d1d2... * 10^point
// is not the convention here; instead digits "d1d2...dn" with `exponent` such
// that value = d1.d2...dn * 10^exponent.
struct Digits {
  char text[32];
  int length = 0;
  int exponent = 0;
};

Digits shortest_digits(double magnitude) {
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof buf, magnitude,
                              std::chars_format::scientific);
  Digits d;
  char *p = buf;
  for (; p < result.ptr && *p != 'e'; ++p)
    if (*p != '.') d.text[d.length++] = *p;
  if (p < result.ptr) {
    ++p;
    std::from_chars(*p == '+' ? p + 1 : p, result.ptr, d.exponent);
  }
  while (d.length > 1 && d.text[d.length - 1] == '0') --d.length;
  return d;
}

bool append_special(std::string &out, double value) {
  if (std::isnan(value)) {
    out += "NaN";
    return true;
  }
  if (std::isinf(value)) {
    out += value < 0 ? "-inf" : "inf";
    return true;
  }
  return false;
}

// Lays the digits out positionally; `min_fraction` forces ".0" for whole
// numbers in the debug form.
void append_positional(std::string &out, const Digits &d, bool min_fraction) {
  if (d.exponent < 0) {
    out += "0.";
    out.append(static_cast<size_t>(-d.exponent - 1), '0');
    out.append(d.text, static_cast<size_t>(d.length));
    return;
  }
  int whole = d.exponent + 1;
  if (d.length <= whole) {
    out.append(d.text, static_cast<size_t>(d.length));
    out.append(static_cast<size_t>(whole - d.length), '0');
    if (min_fraction) out += ".0";
  } else {
    out.append(d.text, static_cast<size_t>(whole));
    out += '.';
    out.append(d.text + whole, static_cast<size_t>(d.length - whole));
  }
}

} // namespace

void append_debug_double(std::string &out, double value) {
  if (append_special(out, value)) return;
  if (std::signbit(value)) out += '-';
  double magnitude = std::fabs(value);
  if (magnitude == 0.0) {
    out += "0.0";
    return;
  }
  Digits d = shortest_digits(magnitude);
  if (magnitude >= 1e16 || magnitude < 1e-4) {
    out += d.text[0];
    if (d.length > 1) {
      out += '.';
      out.append(d.text + 1, static_cast<size_t>(d.length - 1));
    }
    out += 'e';
    out += std::to_string(d.exponent);
    return;
  }
  append_positional(out, d, true);
}

void append_plain_double(std::string &out, double value) {
  if (append_special(out, value)) return;
  if (std::signbit(value)) out += '-';
  double magnitude = std::fabs(value);
  if (magnitude == 0.0) {
    out += '0';
    return;
  }
  append_positional(out, shortest_digits(magnitude), false);
}

} // namespace tovik
