// The program's own circle and triangle rasterisers, built from single
// points and horizontal lines on a Canvas.
//
// The arithmetic is 64-bit, so shapes whose edges run beyond the 32-bit
// range are drawn where they really are instead of wrapping around. Points
// and rows that fall wholly outside the canvas are not sent at all, and long
// runs of such steps are skipped arithmetically, so even a circle with a
// radius of two billion draws in the time its visible part needs. What does
// reach the canvas is exactly what the plain step-by-step walks produce, in
// their order.
#pragma once

#include <cstdint>

#include "graphics/canvas.h"
#include "interpreter/value.h"

namespace tovik::raster {

// Radius 0 or negative draws nothing.
void draw_circle(Canvas &canvas, int32_t cx, int32_t cy, int32_t radius);
void fill_circle(Canvas &canvas, int32_t cx, int32_t cy, int32_t radius);

// One straight line by the integer walk, point by point; only the part
// inside the canvas is walked.
void draw_segment(Canvas &canvas, int32_t x1, int32_t y1, int32_t x2,
                  int32_t y2);

void draw_triangle(Canvas &canvas, const TriangleShape &triangle);
void fill_triangle(Canvas &canvas, const TriangleShape &triangle);

} // namespace tovik::raster
