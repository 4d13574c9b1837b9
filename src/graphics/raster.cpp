#include "graphics/raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "graphics/clamp.h"

namespace tovik::raster {

namespace {

// Squares of 32-bit distances and their doubles need more than 64 bits.
using Wide = __int128;

constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

// Skipping ahead costs a few square roots and a binary search; shorter gaps
// are cheaper to walk.
constexpr int64_t kShortestSkip = 16;

struct Viewport {
  int64_t width = 0, height = 0;

  bool empty() const { return width <= 0 || height <= 0; }
  bool has_row(int64_t y) const { return y >= 0 && y < height; }
  bool has_point(int64_t x, int64_t y) const {
    return has_row(y) && x >= 0 && x < width;
  }
  bool has_span(int64_t x1, int64_t x2, int64_t y) const {
    return has_row(y) && std::max(x1, x2) >= 0 && std::min(x1, x2) < width;
  }
};

Viewport viewport_of(const Canvas &canvas) {
  auto [width, height] = canvas.size();
  return {width, height};
}

void plot(Canvas &canvas, const Viewport &view, int64_t x, int64_t y) {
  if (view.has_point(x, y))
    canvas.draw_point(clamp_coordinate(x), clamp_coordinate(y));
}

void span(Canvas &canvas, const Viewport &view, int64_t x1, int64_t x2,
          int64_t y) {
  if (view.has_span(x1, x2, y))
    canvas.draw_line(clamp_coordinate(x1), clamp_coordinate(y),
                     clamp_coordinate(x2), clamp_coordinate(y));
}

// Circles.
//
// The walk's error term is a function of the position alone,
// err = x² + y² − r² + 2y − 2x + 2r, and x steps back exactly when
// x² − 3x + y² + 2y − r² + 2r (the "slack") is not negative for the new y.
// Since x falls by at most one per step while it stays at least three ahead
// of y, x at step y is then the largest x whose slack is negative. That
// lets the walk resume at any step inside that region.

Wide circle_slack(int64_t r, int64_t x, int64_t y) {
  Wide X = x, Y = y, R = r;
  return X * X - 3 * X + Y * Y + 2 * Y - R * R + 2 * R;
}

int64_t circle_error(int64_t r, int64_t x, int64_t y) {
  Wide X = x, Y = y, R = r;
  return static_cast<int64_t>(X * X + Y * Y - R * R + 2 * Y - 2 * X + 2 * R);
}

// Largest x >= 2 with negative slack at step y, or 1 when there is none
// (the slack rises with x only from x = 2 on). Falls as y grows.
int64_t circle_x_at(int64_t r, int64_t y) {
  // x² − 3x + c < 0  <=>  (2x − 3)² < 9 − 4c
  Wide c = Wide(y) * y + 2 * Wide(y) - Wide(r) * r + 2 * Wide(r);
  Wide d = 9 - 4 * c;
  if (d <= 1) return 1;
  auto root = static_cast<int64_t>(std::sqrt(static_cast<long double>(d - 1)));
  int64_t x = std::max<int64_t>((root + 3) / 2, 1);
  while (circle_slack(r, x + 1, y) < 0) ++x;
  while (x > 1 && circle_slack(r, x, y) >= 0) --x;
  return x;
}

// First step in [from, r] whose x is at most `bound`, or kNever.
int64_t first_step_with_x_at_most(int64_t r, int64_t bound, int64_t from) {
  if (bound < 1) return kNever;
  int64_t lo = from, hi = r; // x at step r is 1
  while (lo < hi) {
    int64_t mid = lo + (hi - lo) / 2;
    if (circle_x_at(r, mid) <= bound)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// The latest step in [from, to] from which the walk may resume, that is
// where x is still at least four ahead of y; `from` when there is none.
int64_t latest_resume_step(int64_t r, int64_t from, int64_t to) {
  auto safe = [r](int64_t y) { return circle_x_at(r, y) - y >= 4; };
  if (safe(to)) return to;
  if (!safe(from)) return from;
  int64_t lo = from, hi = to; // safe(lo), !safe(hi)
  while (hi - lo > 1) {
    int64_t mid = lo + (hi - lo) / 2;
    (safe(mid) ? lo : hi) = mid;
  }
  return lo;
}

// The first step at or after y (where x stands) that touches a visible row,
// or kNever. Rows cy ± y move one way with y, rows cy ± x the other way, so
// each is visible over one interval of steps.
int64_t next_visible_step(int64_t cy, int64_t r, int64_t x, int64_t y,
                          const Viewport &view) {
  int64_t best = kNever;
  int64_t last_row = view.height - 1;
  auto by_y = [&](int64_t lo, int64_t hi) {
    if (lo <= hi && y <= hi) best = std::min(best, std::max(y, lo));
  };
  auto by_x = [&](int64_t lo, int64_t hi) {
    if (lo > hi || x < lo) return; // x never rises again
    if (x <= hi) {
      best = std::min(best, y);
      return;
    }
    int64_t step = first_step_with_x_at_most(r, hi, y);
    if (step != kNever && circle_x_at(r, step) >= lo)
      best = std::min(best, step);
  };
  by_y(-cy, last_row - cy);     // row cy + y
  by_y(cy - last_row, cy);      // row cy − y
  by_x(-cy, last_row - cy);     // row cy + x
  by_x(cy - last_row, cy);      // row cy − x
  return best;
}

// Runs the circle walk, handing each step that touches a visible row to
// `draw_step(x, y)`.
template <typename DrawStep>
void walk_circle(int64_t cy, int64_t r, const Viewport &view,
                 DrawStep draw_step) {
  if (r <= 0 || view.empty()) return;
  auto touches_view = [&](int64_t x, int64_t y) {
    return view.has_row(cy + y) || view.has_row(cy - y) ||
           view.has_row(cy + x) || view.has_row(cy - x);
  };
  int64_t x = r, y = 0, err = 0;
  int64_t next_check = 0; // no need to look ahead again before this step
  while (x >= y) {
    if (touches_view(x, y)) {
      draw_step(x, y);
    } else if (y >= next_check) {
      int64_t next = next_visible_step(cy, r, x, y, view);
      if (next == kNever) return;
      next_check = next;
      if (r >= 2 && next - y > kShortestSkip) {
        int64_t resume = latest_resume_step(r, y, next);
        if (resume > y) {
          y = resume;
          x = circle_x_at(r, y);
          err = circle_error(r, x, y);
          continue;
        }
      }
    }
    ++y;
    err += 2 * y + 1;
    if (2 * (err - x) + 1 > 0) {
      --x;
      err += 1 - 2 * x;
    }
  }
}

// Triangle outlines.
//
// The integer line walk moves along its longer axis on every step and along
// the shorter one m(k) = ceil((2·dq·k − dp) / (2·dp)) times in its first k
// steps (dp, dq: the longer and shorter distance), so it too can resume at
// any step: the part of a long edge inside the canvas is walked alone.

struct LineWalk {
  int64_t dp, dq; // distances along the longer and the shorter axis

  int64_t minor_steps(int64_t k) const {
    Wide num = 2 * Wide(dq) * k - dp;
    if (num <= 0) return 0;
    Wide den = 2 * Wide(dp);
    return static_cast<int64_t>((num + den - 1) / den);
  }
  // Steps k in [0, dp] whose minor count lies in [lo, hi], as [first, last].
  std::pair<int64_t, int64_t> steps_with_minor_in(int64_t lo,
                                                  int64_t hi) const {
    auto first_reaching = [&](int64_t m) { // first k with minor_steps >= m
      int64_t a = 0, b = dp + 1;
      while (a < b) {
        int64_t mid = a + (b - a) / 2;
        if (minor_steps(mid) >= m)
          b = mid;
        else
          a = mid + 1;
      }
      return a;
    };
    return {first_reaching(lo), first_reaching(hi + 1) - 1};
  }
};

// Steps k with start + sign·k in [lo, hi].
std::pair<int64_t, int64_t> steps_within(int64_t start, int64_t sign,
                                         int64_t lo, int64_t hi) {
  if (sign > 0) return {lo - start, hi - start};
  return {start - hi, start - lo};
}

void walk_line(Canvas &canvas, const Viewport &view, int64_t x0, int64_t y0,
               int64_t xe, int64_t ye) {
  int64_t dx = std::abs(xe - x0), dy = std::abs(ye - y0);
  int64_t sx = x0 < xe ? 1 : -1, sy = y0 < ye ? 1 : -1;
  bool x_major = dx >= dy;
  LineWalk line{x_major ? dx : dy, x_major ? dy : dx};
  int64_t p0 = x_major ? x0 : y0, q0 = x_major ? y0 : x0;
  int64_t sp = x_major ? sx : sy, sq = x_major ? sy : sx;
  int64_t p_last = (x_major ? view.width : view.height) - 1;
  int64_t q_last = (x_major ? view.height : view.width) - 1;

  auto [major_first, major_last] = steps_within(p0, sp, 0, p_last);
  auto [minor_lo, minor_hi] = steps_within(q0, sq, 0, q_last);
  auto [minor_first, minor_last] = line.steps_with_minor_in(
      std::max<int64_t>(minor_lo, 0), std::min(minor_hi, line.dq));
  int64_t first = std::max({int64_t{0}, major_first, minor_first});
  int64_t last = std::min({line.dp, major_last, minor_last});
  if (first > last) return;

  int64_t m = line.minor_steps(first);
  int64_t p = p0 + sp * first, q = q0 + sq * m;
  int64_t e = static_cast<int64_t>(Wide(line.dp) - line.dq -
                                   Wide(first) * line.dq + Wide(m) * line.dp);
  // Walking along y is the same walk with the axes swapped and err negated.
  int64_t x = x_major ? p : q, y = x_major ? q : p, err = x_major ? e : -e;

  for (int64_t k = first;; ++k) {
    plot(canvas, view, x, y);
    if (k == last || (x == xe && y == ye)) return;
    int64_t e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x += sx;
    }
    if (e2 < dx) {
      err += dx;
      y += sy;
    }
  }
}

// Triangle filling.

struct Vertex {
  int64_t x, y;
};

// The edge's x on row y, interpolated in single precision over its height.
float edge_x(Vertex a, Vertex b, int64_t y) {
  float t = static_cast<float>(y - a.y) / static_cast<float>(b.y - a.y);
  return static_cast<float>(a.x) + t * static_cast<float>(b.x - a.x);
}

int64_t saturate_to_int32(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
  if (value < -2147483648.0f) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

} // namespace

void draw_circle(Canvas &canvas, int32_t cx, int32_t cy, int32_t radius) {
  Viewport view = viewport_of(canvas);
  int64_t x0 = cx, y0 = cy;
  walk_circle(y0, radius, view, [&](int64_t x, int64_t y) {
    plot(canvas, view, x0 + x, y0 + y);
    plot(canvas, view, x0 - x, y0 + y);
    plot(canvas, view, x0 + x, y0 - y);
    plot(canvas, view, x0 - x, y0 - y);
    plot(canvas, view, x0 + y, y0 + x);
    plot(canvas, view, x0 - y, y0 + x);
    plot(canvas, view, x0 + y, y0 - x);
    plot(canvas, view, x0 - y, y0 - x);
  });
}

void fill_circle(Canvas &canvas, int32_t cx, int32_t cy, int32_t radius) {
  Viewport view = viewport_of(canvas);
  int64_t x0 = cx, y0 = cy;
  walk_circle(y0, radius, view, [&](int64_t x, int64_t y) {
    span(canvas, view, x0 - x, x0 + x, y0 + y);
    span(canvas, view, x0 - y, x0 + y, y0 + x);
    span(canvas, view, x0 - x, x0 + x, y0 - y);
    span(canvas, view, x0 - y, x0 + y, y0 - x);
  });
}

void draw_segment(Canvas &canvas, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2) {
  Viewport view = viewport_of(canvas);
  if (!view.empty()) walk_line(canvas, view, x1, y1, x2, y2);
}

void draw_triangle(Canvas &canvas, const TriangleShape &t) {
  Viewport view = viewport_of(canvas);
  if (view.empty()) return;
  walk_line(canvas, view, t.x1, t.y1, t.x2, t.y2);
  walk_line(canvas, view, t.x2, t.y2, t.x3, t.y3);
  walk_line(canvas, view, t.x3, t.y3, t.x1, t.y1);
}

void fill_triangle(Canvas &canvas, const TriangleShape &t) {
  Viewport view = viewport_of(canvas);
  if (view.empty()) return;
  std::array<Vertex, 3> v{{{t.x1, t.y1}, {t.x2, t.y2}, {t.x3, t.y3}}};
  std::stable_sort(v.begin(), v.end(),
                   [](Vertex a, Vertex b) { return a.y < b.y; });
  auto [top, middle, bottom] = v;
  if (top.y == bottom.y) return;

  int64_t first_row = std::max<int64_t>(top.y, 0);
  int64_t last_row = std::min<int64_t>(bottom.y, view.height - 1);
  for (int64_t y = first_row; y <= last_row; ++y) {
    float across = edge_x(top, bottom, y);
    // The middle row belongs to the upper edge unless that edge is flat.
    float side = (y < middle.y || middle.y == bottom.y)
                     ? edge_x(top, middle, y)
                     : edge_x(middle, bottom, y);
    float left = across, right = side;
    if (side < across) std::swap(left, right);
    int64_t from = saturate_to_int32(std::trunc(left));
    int64_t to = saturate_to_int32(std::ceil(right));
    if (from <= to) span(canvas, view, from, to, y);
  }
}

} // namespace tovik::raster
