// Included before every source of the web build: emscripten 3.1.6's C++
// library predates std::bit_cast, which its compiler already provides as a
// builtin.
#pragma once

#include <bit>
#include <type_traits>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
  requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
           is_trivially_copyable_v<From>)
constexpr To bit_cast(const From &from) noexcept {
  return __builtin_bit_cast(To, from);
}
} // namespace std
#endif

// Nor does it read floating-point numbers with std::from_chars. Its callers
// pass plain decimal digits, for which the C library's strtod is as exact;
// like the native library's, a result outside the double range is reported
// and the value left alone.
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <string>

#if defined(_LIBCPP_VERSION)
namespace std {
inline from_chars_result from_chars(const char *first, const char *last,
                                    double &value) {
  std::string text(first, last);
  char *end = nullptr;
  int saved = errno;
  errno = 0;
  double parsed = std::strtod(text.c_str(), &end);
  from_chars_result result{first + (end - text.c_str()), errc()};
  if (end == text.c_str())
    result = {first, errc::invalid_argument};
  else if (errno == ERANGE)
    result.ec = errc::result_out_of_range;
  else
    value = parsed;
  errno = saved;
  return result;
}
} // namespace std
#endif

// Nor write them: the shortest scientific form that reads back as the same
// double, from the C library's correctly rounded printf.
#include <cstdio>
#include <cstring>

#if defined(_LIBCPP_VERSION)
namespace std {
inline to_chars_result to_chars(char *first, char *last, double value,
                                chars_format) {
  char text[40];
  for (int precision = 0; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*e", precision, value);
    if (precision == 17 || std::strtod(text, nullptr) == value) break;
  }
  size_t length = std::strlen(text);
  if (length > static_cast<size_t>(last - first))
    return {last, errc::value_too_large};
  std::memcpy(first, text, length);
  return {first + length, errc()};
}
} // namespace std
#endif
