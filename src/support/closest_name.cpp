#include "support/closest_name.h"

#include <algorithm>
#include <array>

namespace tovik {

namespace {

// Names longer than this get no suggestion and are no suggestion: nobody
// mistypes them by a letter, and the work per pair stays small and fixed.
constexpr size_t kLongestName = 48;

char lowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; }

bool equal_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lowered(a[i]) != lowered(b[i])) return false;
  return true;
}

// Edits between `a` and `b` ignoring case, where an insertion, a deletion,
// a change and a swap of two neighbours each count one; anything above
// `limit` is reported as limit + 1. Both are at most kLongestName long.
size_t distance(std::string_view a, std::string_view b, size_t limit) {
  using Row = std::array<size_t, kLongestName + 1>;
  Row before_last{}, last{}, row{};
  for (size_t j = 0; j <= b.size(); ++j) last[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    size_t smallest = row[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t change = lowered(a[i - 1]) == lowered(b[j - 1]) ? 0 : 1;
      row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + change});
      if (i > 1 && j > 1 && lowered(a[i - 1]) == lowered(b[j - 2]) &&
          lowered(a[i - 2]) == lowered(b[j - 1]))
        row[j] = std::min(row[j], before_last[j - 2] + 1);
      smallest = std::min(smallest, row[j]);
    }
    if (smallest > limit) return limit + 1; // every later row is at least this
    before_last = last;
    last = row;
  }
  return std::min(last[b.size()], limit + 1);
}

// How many edits still make a near miss: none for one or two letters (only
// a difference of case), then one, two from five letters on, three from
// nine.
size_t threshold(size_t length) {
  if (length < 3) return 0;
  if (length < 5) return 1;
  if (length < 9) return 2;
  return 3;
}

} // namespace

std::string closest_name(std::string_view name, const std::vector<std::string_view> &candidates) {
  if (name.empty() || name.size() > kLongestName) return "";
  for (std::string_view c : candidates)
    if (c != name && equal_ignoring_case(c, name)) return std::string(c);
  size_t limit = threshold(name.size());
  if (limit == 0) return "";
  std::string_view best;
  size_t best_distance = limit + 1;
  for (std::string_view c : candidates) {
    if (c == name || c.size() > kLongestName) continue;
    size_t gap = c.size() > name.size() ? c.size() - name.size() : name.size() - c.size();
    if (gap > limit) continue;
    size_t d = distance(name, c, limit);
    if (d < best_distance || (d == best_distance && c < best)) {
      best = c;
      best_distance = d;
    }
  }
  return std::string(best);
}

} // namespace tovik

namespace tovik {

namespace {

struct ForeignName {
  std::string_view foreign;
  std::string_view builtin;
};

// What other languages call the work of a builtin here.
constexpr std::array<ForeignName, 19> kForeignNames = {{
    {"length", "len"},        {"size", "len"},
    {"append", "push"},       {"substr", "slice"},      {"substring", "slice"},
    {"toupper", "upper"},     {"upcase", "upper"},      {"tolower", "lower"},
    {"downcase", "lower"},    {"println", "print"},     {"printf", "print"},
    {"puts", "print"},        {"echo", "print"},        {"str", "concat"},
    {"includes", "contains"}, {"rand", "random"},       {"randint", "random_range"},
    {"type", "typeof"},       {"reversed", "reverse"},
}};

std::string_view builtin_for(std::string_view foreign) {
  for (const ForeignName &f : kForeignNames)
    if (equal_ignoring_case(f.foreign, foreign)) return f.builtin;
  return {};
}

} // namespace

std::string closest_function(std::string_view name,
                             const std::vector<std::string_view> &candidates) {
  if (std::string_view builtin = builtin_for(name); !builtin.empty()) return std::string(builtin);
  std::vector<std::string_view> all = candidates;
  for (const ForeignName &f : kForeignNames) all.push_back(f.foreign);
  std::string best = closest_name(name, all);
  if (std::string_view builtin = builtin_for(best); !builtin.empty()) return std::string(builtin);
  return best;
}

std::string_view foreign_function_hint(std::string_view name) {
  if (name == "range")
    return "there is no 'range': a..b gives the integers from a to b - 1, so range(n) is "
           "written 0..n (for i in 0..n { ... })";
  return {};
}

} // namespace tovik
