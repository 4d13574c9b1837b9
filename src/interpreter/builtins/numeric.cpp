#include <cmath>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/random.h"

namespace tovik {

namespace {

enum class Rounding { Floor, Ceil, Round };

// The result is always a Number, whatever the argument: integers go through
// a double first, so those beyond 2^53 lose their lowest bits.
Value round_to_number(Args args, Rounding rounding) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  double d = to_real(args[0]);
  switch (rounding) {
  case Rounding::Floor: d = std::floor(d); break;
  case Rounding::Ceil: d = std::ceil(d); break;
  case Rounding::Round: d = std::round(d); break; // halves away from zero
  }
  return Value::number(saturate_to_integer(d));
}

enum class Extreme { Least, Greatest };

// The comparison is deliberately one-sided: the least keeps the earlier of
// two equal values and never takes a NaN that follows, the greatest takes
// the later one and does take a following NaN.
Value extreme_of(Args args, Extreme extreme) {
  if (args.size() < 2) return Value();
  bool found = false;
  double current = 0.0;
  for (const Value &arg : args) {
    if (!is_numeric(arg)) continue;
    double next = to_real(arg);
    if (!found) {
      current = next;
      found = true;
      continue;
    }
    switch (extreme) {
    case Extreme::Least:
      if (current > next) current = next;
      break;
    case Extreme::Greatest:
      if (!(current > next)) current = next;
      break;
    }
  }
  if (!found) return Value();
  return Value::real(current);
}

} // namespace

// abs keeps the variant; the integer case wraps, so the least 64-bit
// integer is its own absolute value.
Value builtin_abs(Args args, GraphicsContext &) {
  if (args.empty()) return Value();
  const Value &v = args[0];
  switch (v.kind()) {
  case ValueKind::Number: {
    int64_t n = v.as_number();
    if (n >= 0) return v;
    return Value::number(
        static_cast<int64_t>(uint64_t{0} - static_cast<uint64_t>(n)));
  }
  case ValueKind::Float:
    return Value::real(std::fabs(v.as_float())); // clears the sign bit
  default:
    return Value();
  }
}

Value builtin_pow(Args args, GraphicsContext &) {
  if (args.size() < 2 || !is_numeric(args[0]) || !is_numeric(args[1]))
    return Value();
  return Value::real(std::pow(to_real(args[0]), to_real(args[1])));
}

Value builtin_sqrt(Args args, GraphicsContext &) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  return Value::real(std::sqrt(to_real(args[0])));
}

Value builtin_floor(Args args, GraphicsContext &) {
  return round_to_number(args, Rounding::Floor);
}

Value builtin_ceil(Args args, GraphicsContext &) {
  return round_to_number(args, Rounding::Ceil);
}

Value builtin_round(Args args, GraphicsContext &) {
  return round_to_number(args, Rounding::Round);
}

Value builtin_min(Args args, GraphicsContext &) {
  return extreme_of(args, Extreme::Least);
}

Value builtin_max(Args args, GraphicsContext &) {
  return extreme_of(args, Extreme::Greatest);
}

// random: the top 53 bits of a word, scaled into [0, 1).
Value builtin_random(Args, GraphicsContext &) {
  return Value::real(static_cast<double>(random_word() >> 11) * 0x1p-53);
}

// random_range: low plus a signed remainder, so results spread to both sides
// of low (1 and 7 give -4 to 6). Equal bounds leave no remainder to take and
// give low.
Value builtin_random_range(Args args, GraphicsContext &) {
  if (args.size() < 2 || !is_numeric(args[0]) || !is_numeric(args[1]))
    return Value();
  const int64_t low = to_integer(args[0]);
  const int64_t high = to_integer(args[1]);
  const int64_t width = static_cast<int64_t>(static_cast<uint64_t>(high) -
                                             static_cast<uint64_t>(low));
  const int64_t r = static_cast<int64_t>(random_word());
  // A width of -1 leaves remainder 0; computing it would overflow for the
  // least integer.
  const int64_t remainder = (width == 0 || width == -1) ? 0 : r % width;
  return Value::number(static_cast<int64_t>(static_cast<uint64_t>(low) +
                                            static_cast<uint64_t>(remainder)));
}

} // namespace tovik
