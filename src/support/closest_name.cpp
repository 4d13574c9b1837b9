#include "support/closest_name.h"

#include <algorithm>

namespace tovik {

namespace {

size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] != b[j - 1])});
      diagonal = above;
    }
  }
  return row[b.size()];
}

} // namespace

std::string closest_name(std::string_view name, const std::vector<std::string_view> &candidates) {
  // Nothing is close to a name of one or two letters; one edit for short
  // names, two from five characters on.
  if (name.size() < 3) return "";
  size_t limit = name.size() < 5 ? 1 : 2;
  std::string_view best;
  size_t best_distance = limit + 1;
  for (std::string_view c : candidates) {
    if (c == name) continue;
    size_t gap = c.size() > name.size() ? c.size() - name.size() : name.size() - c.size();
    if (gap > limit) continue;
    size_t d = edit_distance(name, c);
    if (d < best_distance || (d == best_distance && c < best)) {
      best = c;
      best_distance = d;
    }
  }
  return std::string(best);
}

} // namespace tovik
