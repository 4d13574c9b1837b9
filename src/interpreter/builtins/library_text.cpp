// Library functions on text: conversions to and from numbers, characters,
// search and replace, and the order of texts and numbers.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include <unicode/utf8.h>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "support/limits.h"
#include "support/source.h"

namespace tovik {

namespace {

bool is_text(LibraryArgs args, size_t count) {
  if (args.size() < count) return false;
  for (size_t i = 0; i < count; ++i)
    if (!args[i].is(ValueKind::String)) return false;
  return true;
}

bool is_ascii_digit(char c) { return c >= '0' && c <= '9'; }

// A number as the scanner reads one: digits, and at most one "." with
// digits on both sides, after an optional sign. An integer too large for 64
// bits becomes the nearest Float, as its literal does.
std::optional<Value> parse_number(std::string_view text) {
  size_t at = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) at = 1;
  const size_t digits_start = at;
  while (at < text.size() && is_ascii_digit(text[at])) ++at;
  if (at == digits_start) return std::nullopt;
  bool has_dot = false;
  if (at < text.size() && text[at] == '.') {
    const size_t fraction = ++at;
    while (at < text.size() && is_ascii_digit(text[at])) ++at;
    if (at == fraction) return std::nullopt;
    has_dot = true;
  }
  if (at != text.size()) return std::nullopt;
  // from_chars takes a leading "-" but no "+".
  std::string_view number = text.substr(negative ? 0 : digits_start);
  const char *begin = number.data(), *end = number.data() + number.size();
  if (!has_dot) {
    int64_t value = 0;
    auto result = std::from_chars(begin, end, value);
    if (result.ec == std::errc()) return Value::number(value);
  }
  double value = 0.0;
  auto result = std::from_chars(begin, end, value);
  if (result.ec == std::errc::result_out_of_range) {
    // Without an exponent only the magnitude can overflow: digits before the
    // point that are not all zero are out of range upwards.
    bool large = false;
    for (char c : number.substr(negative ? 1 : 0)) {
      if (c == '.') break;
      large = large || c != '0';
    }
    value = large ? std::numeric_limits<double>::infinity() : 0.0;
    if (negative) value = -value;
  }
  return Value::real(value);
}

// Compares an integer with a double exactly, without rounding either.
int compare_integer_with(int64_t i, double d) {
  if (d >= 9223372036854775808.0) return -1;
  if (d < -9223372036854775808.0) return 1;
  const double whole = std::trunc(d);
  const auto t = static_cast<int64_t>(whole);
  if (i != t) return i < t ? -1 : 1;
  if (d == whole) return 0;
  return d > whole ? -1 : 1;
}

} // namespace

std::optional<int> library_order(const Value &a, const Value &b) {
  if (a.is(ValueKind::Number) && b.is(ValueKind::Number)) {
    const int64_t x = a.as_number(), y = b.as_number();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (a.is(ValueKind::String) && b.is(ValueKind::String)) {
    const int c = a.as_text().compare(b.as_text());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (!is_numeric(a) || !is_numeric(b)) return std::nullopt;
  if (a.is(ValueKind::Float) && std::isnan(a.as_float())) return std::nullopt;
  if (b.is(ValueKind::Float) && std::isnan(b.as_float())) return std::nullopt;
  if (a.is(ValueKind::Float) && b.is(ValueKind::Float)) {
    const double x = a.as_float(), y = b.as_float();
    return x < y ? -1 : (x > y ? 1 : 0);
  }
  if (a.is(ValueKind::Number)) return compare_integer_with(a.as_number(), b.as_float());
  return -compare_integer_with(b.as_number(), a.as_float());
}

Value library_to_number(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 1)) return Value();
  std::optional<Value> number = parse_number(trim_white_space(args[0].as_text()));
  return number ? std::move(*number) : Value();
}

Value library_to_float(LibraryArgs args, Interpreter &) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  return Value::real(to_real(args[0]));
}

// to_int: truncated toward zero; null where no integer is near (NaN, and
// beyond the 64-bit range).
Value library_to_int(LibraryArgs args, Interpreter &) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  if (args[0].is(ValueKind::Number)) return args[0];
  const double d = args[0].as_float();
  if (std::isnan(d) || d >= 9223372036854775808.0 || d < -9223372036854775808.0)
    return Value();
  return Value::number(static_cast<int64_t>(d));
}

Value library_chars(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 1)) return Value();
  const std::string &text = args[0].as_text();
  const auto *s = reinterpret_cast<const uint8_t *>(text.data());
  const auto length = static_cast<int64_t>(text.size());
  std::vector<Value> out;
  int64_t i = 0;
  while (i < length) {
    const int64_t start = i;
    U8_FWD_1(s, i, length);
    check_array_length(out.size() + 1);
    out.push_back(Value::short_text(std::string_view(text).substr(
        static_cast<size_t>(start), static_cast<size_t>(i - start))));
  }
  return Value::array(std::move(out));
}

Value library_char_count(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 1)) return Value();
  int64_t count = 0;
  for (char c : args[0].as_text())
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return Value::number(count);
}

// replace(text, old, new): every occurrence, left to right, none
// overlapping. An empty `old` occurs nowhere.
Value library_replace(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 3)) return Value();
  const std::string &text = args[0].as_text();
  const std::string &old = args[1].as_text();
  const std::string &with = args[2].as_text();
  if (old.empty() || text.find(old) == std::string::npos) return std::move(args[0]);
  std::string out;
  size_t from = 0;
  for (size_t found = text.find(old); found != std::string::npos;
       found = text.find(old, from)) {
    check_text_length(out.size() + (found - from) + with.size());
    out.append(text, from, found - from);
    out += with;
    from = found + old.size();
  }
  check_text_length(out.size() + (text.size() - from));
  out.append(text, from);
  return Value::string(std::move(out));
}

Value library_trim(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 1)) return Value();
  return Value::short_text(trim_white_space(args[0].as_text()));
}

Value library_starts_with(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 2)) return Value();
  return Value::boolean(args[0].as_text().starts_with(args[1].as_text()));
}

Value library_ends_with(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 2)) return Value();
  return Value::boolean(args[0].as_text().ends_with(args[1].as_text()));
}

// repeat(text, n): n copies run together; none for n at or below 0.
Value library_repeat(LibraryArgs args, Interpreter &) {
  if (args.size() < 2 || !args[0].is(ValueKind::String) || !is_numeric(args[1]))
    return Value();
  const std::string &text = args[0].as_text();
  const int64_t n = to_integer(args[1]);
  if (n <= 0 || text.empty()) return Value::short_text({});
  // Checked by division first: the product itself may overflow.
  if (static_cast<uint64_t>(n) > text_bytes_cap / text.size()) out_of_memory();
  std::string out;
  out.reserve(text.size() * static_cast<size_t>(n));
  for (int64_t i = 0; i < n; ++i) out += text;
  return Value::string(std::move(out));
}

Value library_compare(LibraryArgs args, Interpreter &) {
  if (args.size() < 2) return Value();
  std::optional<int> order = library_order(args[0], args[1]);
  return order ? Value::number(*order) : Value();
}

// code(c): the code point of a one-character text.
Value library_code(LibraryArgs args, Interpreter &) {
  if (!is_text(args, 1)) return Value();
  const std::string &text = args[0].as_text();
  const auto *s = reinterpret_cast<const uint8_t *>(text.data());
  const auto length = static_cast<int32_t>(std::min<size_t>(text.size(), 8));
  int32_t i = 0;
  UChar32 c = 0;
  if (length == 0) return Value();
  U8_NEXT(s, i, length, c);
  if (c < 0 || static_cast<size_t>(i) != text.size()) return Value();
  return Value::number(c);
}

// char(n): the one-character text of a Unicode scalar value.
Value library_character(LibraryArgs args, Interpreter &) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  const int64_t n = to_integer(args[0]);
  if (n < 0 || n > 0x10FFFF || (n >= 0xD800 && n <= 0xDFFF)) return Value();
  uint8_t bytes[4];
  int32_t length = 0;
  UBool error = false;
  U8_APPEND(bytes, length, 4, static_cast<UChar32>(n), error);
  if (error) return Value();
  return Value::short_text(
      std::string_view(reinterpret_cast<const char *>(bytes), static_cast<size_t>(length)));
}

Value library_is_null(LibraryArgs args, Interpreter &) {
  if (args.empty()) return Value();
  return Value::boolean(args[0].is_null());
}

} // namespace tovik
