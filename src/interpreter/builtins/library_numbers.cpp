// Library functions on numbers and time: trigonometry, exp and log as
// Floats of any numeric argument, a monotonic clock and sleeping.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "support/halt.h"

namespace tovik {

namespace {

template <double (*Function)(double)> Value real_function(LibraryArgs args) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  return Value::real(Function(to_real(args[0])));
}

double sine(double x) { return std::sin(x); }
double cosine(double x) { return std::cos(x); }
double tangent(double x) { return std::tan(x); }
double exponential(double x) { return std::exp(x); }
double logarithm(double x) { return std::log(x); }

using Clock = std::chrono::steady_clock;

// When the run started, as clock() counts: taken when the program starts.
const Clock::time_point kStart = Clock::now();

} // namespace

Value library_sin(LibraryArgs args, Interpreter &) { return real_function<sine>(args); }
Value library_cos(LibraryArgs args, Interpreter &) { return real_function<cosine>(args); }
Value library_tan(LibraryArgs args, Interpreter &) { return real_function<tangent>(args); }
Value library_exp(LibraryArgs args, Interpreter &) { return real_function<exponential>(args); }
Value library_log(LibraryArgs args, Interpreter &) { return real_function<logarithm>(args); }

Value library_atan2(LibraryArgs args, Interpreter &) {
  if (args.size() < 2 || !is_numeric(args[0]) || !is_numeric(args[1])) return Value();
  return Value::real(std::atan2(to_real(args[0]), to_real(args[1])));
}

Value library_pi(LibraryArgs, Interpreter &) { return Value::real(std::numbers::pi); }

// clock(): seconds since the run started, on a clock that never goes back.
Value library_clock(LibraryArgs, Interpreter &) {
  const auto elapsed = std::chrono::duration<double>(Clock::now() - kStart);
  return Value::real(elapsed.count());
}

// sleep(seconds): waits, in short steps so that an interrupt of the
// interactive loop still ends it promptly. Nothing for a negative or NaN
// time.
Value library_sleep(LibraryArgs args, Interpreter &) {
  if (args.empty() || !is_numeric(args[0])) return Value();
  const double seconds = to_real(args[0]);
  if (!(seconds > 0)) return Value();
  constexpr double kStep = 0.05;
  // A deadline on the monotonic clock, so the steps do not add up errors;
  // an enormous time is a wait without end, as asked.
  const double capped = std::min(seconds, 1e9);
  const Clock::time_point deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(
                         std::chrono::duration<double>(capped));
  for (;;) {
    halt_if_interrupted();
    const Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    std::this_thread::sleep_for(
        std::min<Clock::duration>(deadline - now,
                                  std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(kStep))));
  }
  return Value();
}

} // namespace tovik
