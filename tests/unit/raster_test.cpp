#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>

#include "graphics/clamp.h"
#include "graphics/context.h"
#include "graphics/raster.h"
#include "recording_canvas.h"
#include "support/halt.h"

namespace tovik {
namespace {

using Calls = std::vector<CanvasCall>;

// What a canvas of the given size would show of a point or a row segment,
// clamped as it reaches the canvas.
struct Visible {
  int64_t width, height;
  void point(Calls &out, int64_t x, int64_t y) const {
    if (x >= 0 && x < width && y >= 0 && y < height)
      out.push_back(tovik::point(clamp_coordinate(x), clamp_coordinate(y)));
  }
  void row(Calls &out, int64_t x1, int64_t x2, int64_t y) const {
    if (y >= 0 && y < height && std::max(x1, x2) >= 0 &&
        std::min(x1, x2) < width)
      out.push_back(line(clamp_coordinate(x1), clamp_coordinate(y),
                         clamp_coordinate(x2), clamp_coordinate(y)));
  }
};

// The circle walk step by step, with no skipping.
Calls reference_circle(int64_t cx, int64_t cy, int64_t r, bool filled,
                       Visible view) {
  Calls out;
  if (r <= 0) return out;
  int64_t x = r, y = 0, err = 0;
  while (x >= y) {
    if (filled) {
      view.row(out, cx - x, cx + x, cy + y);
      view.row(out, cx - y, cx + y, cy + x);
      view.row(out, cx - x, cx + x, cy - y);
      view.row(out, cx - y, cx + y, cy - x);
    } else {
      view.point(out, cx + x, cy + y);
      view.point(out, cx - x, cy + y);
      view.point(out, cx + x, cy - y);
      view.point(out, cx - x, cy - y);
      view.point(out, cx + y, cy + x);
      view.point(out, cx - y, cy + x);
      view.point(out, cx + y, cy - x);
      view.point(out, cx - y, cy - x);
    }
    ++y;
    err += 2 * y + 1;
    if (2 * (err - x) + 1 > 0) {
      --x;
      err += 1 - 2 * x;
    }
  }
  return out;
}

// The integer line walk step by step.
void reference_line(Calls &out, int64_t x0, int64_t y0, int64_t xe,
                    int64_t ye, Visible view) {
  int64_t dx = std::abs(xe - x0), dy = std::abs(ye - y0);
  int64_t sx = x0 < xe ? 1 : -1, sy = y0 < ye ? 1 : -1;
  int64_t err = dx - dy;
  for (;;) {
    view.point(out, x0, y0);
    if (x0 == xe && y0 == ye) return;
    int64_t e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x0 += sx;
    }
    if (e2 < dx) {
      err += dx;
      y0 += sy;
    }
  }
}

Calls reference_triangle(const TriangleShape &t, Visible view) {
  Calls out;
  reference_line(out, t.x1, t.y1, t.x2, t.y2, view);
  reference_line(out, t.x2, t.y2, t.x3, t.y3, view);
  reference_line(out, t.x3, t.y3, t.x1, t.y1, view);
  return out;
}

TEST(CircleRaster, RadiusOneOutlineIsTheFourNeighboursTwice) {
  RecordingCanvas canvas;
  raster::draw_circle(canvas, 10, 20, 1);
  EXPECT_EQ(canvas.calls, (Calls{point(11, 20), point(9, 20), point(11, 20),
                                 point(9, 20), point(10, 21), point(10, 21),
                                 point(10, 19), point(10, 19)}));
}

TEST(CircleRaster, RadiusOneFillIsACross) {
  RecordingCanvas canvas;
  raster::fill_circle(canvas, 10, 20, 1);
  EXPECT_EQ(canvas.calls, (Calls{line(9, 20, 11, 20), line(10, 21, 10, 21),
                                 line(9, 20, 11, 20), line(10, 19, 10, 19)}));
}

TEST(CircleRaster, NoRadiusDrawsNothing) {
  RecordingCanvas canvas;
  for (int32_t radius : {0, -1, -5, INT32_MIN}) {
    raster::draw_circle(canvas, 50, 50, radius);
    raster::fill_circle(canvas, 50, 50, radius);
  }
  EXPECT_TRUE(canvas.calls.empty());
}

TEST(CircleRaster, RadiusFiveOutlineIsSymmetricWithItsExtremes) {
  RecordingCanvas canvas;
  raster::draw_circle(canvas, 100, 100, 5);
  std::set<std::pair<int64_t, int64_t>> points;
  for (const CanvasCall &call : canvas.calls) {
    ASSERT_EQ(call.kind, CanvasCall::Point);
    points.insert({call.a - 100, call.b - 100});
  }
  for (auto p : {std::pair<int64_t, int64_t>{5, 0}, {-5, 0}, {0, 5}, {0, -5}})
    EXPECT_TRUE(points.count(p)) << p.first << "," << p.second;
  for (auto [x, y] : points) {
    EXPECT_LE(std::max(std::abs(x), std::abs(y)), 5);
    EXPECT_TRUE(points.count({-x, y}) && points.count({x, -y}) &&
                points.count({y, x}))
        << x << "," << y;
    // No point strays from the true circle by a pixel or more.
    double distance = std::sqrt(double(x * x + y * y));
    EXPECT_NEAR(distance, 5.0, 1.0);
  }
  EXPECT_EQ(canvas.calls.size() % 8, 0u);
}

TEST(TriangleRaster, CoincidentVerticesDrawOnePixel) {
  RecordingCanvas canvas;
  raster::draw_triangle(canvas, {7, 8, 7, 8, 7, 8});
  // One point per zero-length edge.
  EXPECT_EQ(canvas.calls, (Calls{point(7, 8), point(7, 8), point(7, 8)}));
}

TEST(TriangleRaster, OutlineDrawsEveryVertexTwice) {
  RecordingCanvas canvas;
  raster::draw_triangle(canvas, {0, 0, 2, 0, 0, 2});
  EXPECT_EQ(canvas.calls,
            (Calls{point(0, 0), point(1, 0), point(2, 0),   // P1 to P2
                   point(2, 0), point(1, 1), point(0, 2),   // P2 to P3
                   point(0, 2), point(0, 1), point(0, 0)})); // P3 to P1
}

TEST(TriangleRaster, FlatTopFillCoversTheTopRow) {
  RecordingCanvas canvas;
  raster::fill_triangle(canvas, {0, 0, 10, 0, 0, 10});
  Calls expected;
  for (int64_t y = 0; y <= 10; ++y) expected.push_back(line(0, y, 10 - y, y));
  EXPECT_EQ(canvas.calls, expected);
}

TEST(TriangleRaster, FillTruncatesLeftAndRaisesRight) {
  RecordingCanvas canvas;
  // Rows 1 and 2 cross the edges at fractions: 0.22 and 2.33, 0.44 and 4.67.
  raster::fill_triangle(canvas, {7, 3, 0, 0, 2, 9});
  ASSERT_EQ(canvas.calls.size(), 10u);
  EXPECT_EQ(canvas.calls[0], line(0, 0, 0, 0));
  EXPECT_EQ(canvas.calls[1], line(0, 1, 3, 1));
  EXPECT_EQ(canvas.calls[2], line(0, 2, 5, 2));
  EXPECT_EQ(canvas.calls[3], line(0, 3, 7, 3)); // the middle vertex's row
  EXPECT_EQ(canvas.calls[9], line(2, 9, 2, 9));

  // Toward zero, not down: -2.33 becomes -2.
  RecordingCanvas mirrored;
  raster::fill_triangle(mirrored, {0, 0, -7, 3, -2, 9});
  ASSERT_GE(mirrored.calls.size(), 2u);
  EXPECT_EQ(mirrored.calls[1], line(-2, 1, 0, 1));
}

TEST(TriangleRaster, DegenerateFills) {
  RecordingCanvas flat;
  raster::fill_triangle(flat, {0, 5, 10, 5, 20, 5});
  EXPECT_TRUE(flat.calls.empty());

  RecordingCanvas diagonal;
  raster::fill_triangle(diagonal, {10, 10, 0, 0, 5, 5});
  Calls expected;
  for (int64_t y = 0; y <= 10; ++y) expected.push_back(line(y, y, y, y));
  EXPECT_EQ(diagonal.calls, expected);
}

// Large shapes seen through a small canvas: only steps near the canvas are
// walked, the rest is skipped arithmetically. What arrives must still be
// exactly the visible part of the plain walk.
TEST(CircleRaster, SkippingMatchesThePlainWalk) {
  std::mt19937 random(12345);
  constexpr int64_t kWidth = 50, kHeight = 40;
  Visible view{kWidth, kHeight};
  auto uniform = [&](int64_t lo, int64_t hi) {
    return std::uniform_int_distribution<int64_t>(lo, hi)(random);
  };
  for (int i = 0; i < 1500; ++i) {
    int64_t r = i < 300 ? i : uniform(1, 6000);
    // Aim the rim at the canvas, from any direction.
    double angle = uniform(0, 6283) / 1000.0;
    int64_t cx = 25 - int64_t(r * std::cos(angle)) + uniform(-30, 30);
    int64_t cy = 20 - int64_t(r * std::sin(angle)) + uniform(-30, 30);
    for (bool filled : {false, true}) {
      RecordingCanvas canvas(kWidth, kHeight);
      if (filled)
        raster::fill_circle(canvas, int32_t(cx), int32_t(cy), int32_t(r));
      else
        raster::draw_circle(canvas, int32_t(cx), int32_t(cy), int32_t(r));
      ASSERT_EQ(canvas.calls, reference_circle(cx, cy, r, filled, view))
          << "circle " << cx << "," << cy << " r " << r << " filled "
          << filled;
    }
  }
}

TEST(TriangleRaster, SkippingMatchesThePlainWalk) {
  std::mt19937 random(777);
  constexpr int64_t kWidth = 9, kHeight = 7;
  Visible view{kWidth, kHeight};
  // Every short edge around the canvas, in every direction.
  for (int32_t x0 = -3; x0 <= 11; x0 += 2)
    for (int32_t y0 = -3; y0 <= 9; y0 += 2)
      for (int32_t x1 = -4; x1 <= 12; ++x1)
        for (int32_t y1 = -4; y1 <= 10; ++y1) {
          TriangleShape t{x0, y0, x1, y1, x0, y0};
          RecordingCanvas canvas(kWidth, kHeight);
          raster::draw_triangle(canvas, t);
          ASSERT_EQ(canvas.calls, reference_triangle(t, view))
              << x0 << "," << y0 << " to " << x1 << "," << y1;
        }
  // Long edges passing by or through.
  auto coordinate = [&] {
    return std::uniform_int_distribution<int32_t>(-3000, 3000)(random);
  };
  for (int i = 0; i < 3000; ++i) {
    TriangleShape t{coordinate(), coordinate(), coordinate(),
                    coordinate(), coordinate(), coordinate()};
    RecordingCanvas canvas(kWidth, kHeight);
    raster::draw_triangle(canvas, t);
    ASSERT_EQ(canvas.calls, reference_triangle(t, view))
        << t.x1 << "," << t.y1 << " " << t.x2 << "," << t.y2 << " " << t.x3
        << "," << t.y3;
  }
}

TEST(Raster, ExtremeShapesFinishAndCoverTheCanvas) {
  constexpr uint32_t kWidth = 800, kHeight = 600;
  auto started = std::chrono::steady_clock::now();

  RecordingCanvas filled(kWidth, kHeight);
  raster::fill_circle(filled, 0, 0, 2000000000);
  std::set<int64_t> covered_rows;
  for (const CanvasCall &call : filled.calls)
    if (call.a <= 0 && call.c >= kWidth - 1) covered_rows.insert(call.b);
  EXPECT_EQ(covered_rows.size(), kHeight);
  EXPECT_LT(filled.calls.size(), 10000u);

  RecordingCanvas outline(kWidth, kHeight);
  raster::draw_circle(outline, 400, 300, 2000000000);
  EXPECT_TRUE(outline.calls.empty()); // the rim is far outside

  // A circle whose lowest rows reach into the canvas from far above.
  RecordingCanvas rim(kWidth, kHeight);
  raster::draw_circle(rim, 400, -1999999700, 2000000000);
  EXPECT_FALSE(rim.calls.empty());
  for (const CanvasCall &call : rim.calls) EXPECT_GE(call.b, 299);

  constexpr int32_t kMin = INT32_MIN, kMax = INT32_MAX;
  RecordingCanvas edges(kWidth, kHeight);
  raster::draw_triangle(edges, {kMin, kMin, kMax, kMax, kMin, kMax});
  Calls diagonal; // the only edge crossing the canvas has slope one
  for (int64_t k = 0; k < kHeight; ++k) diagonal.push_back(point(k, k));
  EXPECT_EQ(edges.calls, diagonal);

  RecordingCanvas area(kWidth, kHeight);
  raster::fill_triangle(area, {kMin, kMin, kMax, kMin, 0, kMax});
  ASSERT_EQ(area.calls.size(), kHeight);
  for (int64_t y = 0; y < kHeight; ++y) {
    // Halfway down its height the triangle spans about ±2^30.
    const CanvasCall &call = area.calls[y];
    EXPECT_EQ(call.b, y);
    EXPECT_NEAR(double(call.a), -1073741824.0, 1024.0);
    EXPECT_NEAR(double(call.c), 1073741824.0, 1024.0);
  }

  auto seconds = std::chrono::duration<double>(
                     std::chrono::steady_clock::now() - started)
                     .count();
  EXPECT_LT(seconds, 10.0);
}

// The context with a recording canvas in place of the SDL window.

struct ContextWithCanvas {
  GraphicsContext graphics;
  RecordingCanvas *canvas;
  ContextWithCanvas() {
    auto owned = std::make_unique<RecordingCanvas>();
    canvas = owned.get();
    graphics.canvas = std::move(owned);
  }
};

TEST(ContextDrawing, ColourReachesTheRendererOnlyWhenItChanges) {
  ContextWithCanvas c;
  set_draw_color(c.graphics, 255, 255, 255); // already the recorded colour
  set_draw_color(c.graphics, 255, 0, 0);
  set_draw_color(c.graphics, 255, 0, 0);
  clear_screen(c.graphics);
  set_draw_color(c.graphics, 255, 0, 0); // the clear recorded black
  EXPECT_EQ(c.canvas->calls,
            (Calls{colour(255, 0, 0), colour(0, 0, 0), {CanvasCall::Clear},
                   colour(255, 0, 0)}));
  EXPECT_EQ(c.graphics.draw_colour, (DrawColour{255, 0, 0, 255}));
}

TEST(ContextDrawing, WithoutAWindowOnlyTheColourIsRecorded) {
  GraphicsContext graphics;
  set_draw_color(graphics, 1, 2, 3);
  clear_screen(graphics);
  render_present(graphics);
  draw_point(graphics, 1, 1);
  fill_circle(graphics, 5, 5, 5);
  EXPECT_EQ(graphics.draw_colour, (DrawColour{1, 2, 3, 255}));
  EXPECT_FALSE(window_size(graphics));
  EXPECT_FALSE(graphics.open);
}

TEST(ContextDrawing, RefusedColourOrClearStopsTheRun) {
  ContextWithCanvas c;
  c.canvas->refuse_colour = true;
  try {
    set_draw_color(c.graphics, 1, 2, 3);
    FAIL() << "no halt";
  } catch (const Halt &halt) {
    EXPECT_EQ(halt.message, "renderer is gone");
  }
  EXPECT_EQ(c.graphics.draw_colour, DrawColour{}); // nothing recorded

  c.canvas->refuse_colour = false;
  c.canvas->refuse_clear = true;
  try {
    clear_screen(c.graphics);
    FAIL() << "no halt";
  } catch (const Halt &halt) {
    EXPECT_EQ(halt.message, "Could not clear: renderer is gone");
  }
}

TEST(ContextDrawing, CoordinatesAndSizesAreClamped) {
  ContextWithCanvas c;
  fill_rect(c.graphics, INT32_MIN, INT32_MAX, 0, uint32_t(-5));
  draw_rect(c.graphics, 3, 4, 1073741824, 7);
  draw_line(c.graphics, INT32_MIN, 0, INT32_MAX, -1073741824);
  draw_point(c.graphics, 1073741824, -1073741825);
  EXPECT_EQ(c.canvas->calls,
            (Calls{{CanvasCall::FillRect, -1073741824, 1073741823, 1,
                    1073741823},
                   {CanvasCall::Rect, 3, 4, 1073741823, 7},
                   line(-1073741824, 0, 1073741823, -1073741824),
                   point(1073741823, -1073741824)}));

  // A circle reaching past the 32-bit range draws where it really is,
  // clamped, instead of wrapping around.
  RecordingCanvas canvas(100, 100);
  raster::fill_circle(canvas, INT32_MAX, 50, INT32_MAX);
  ASSERT_FALSE(canvas.calls.empty());
  for (const CanvasCall &call : canvas.calls) {
    EXPECT_EQ(call.a, 0); // cx − r on these rows
    EXPECT_EQ(call.c, kCoordinateMax);
  }
}

} // namespace
} // namespace tovik
