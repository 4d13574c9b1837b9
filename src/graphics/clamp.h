// Limits applied to every coordinate and size before it reaches the
// renderer. Keeping them within 2^30 leaves SDL room for its own arithmetic
// (x + w, clipping) without overflow, while anything this far out is off
// every real screen anyway.
#pragma once

#include <cstdint>

namespace tovik {

inline constexpr int32_t kCoordinateMin = -1073741824;
inline constexpr int32_t kCoordinateMax = 1073741823;

// Takes 64 bits so the rasterisers can clamp sums that left 32-bit range.
constexpr int32_t clamp_coordinate(int64_t value) {
  if (value < kCoordinateMin) return kCoordinateMin;
  if (value > kCoordinateMax) return kCoordinateMax;
  return static_cast<int32_t>(value);
}

// Sizes are read unsigned, so a negative width arrives as a huge one and is
// cut down to the largest size; an empty rectangle still shows one pixel.
constexpr int32_t clamp_size(uint32_t value) {
  if (value == 0) return 1;
  if (value > static_cast<uint32_t>(kCoordinateMax)) return kCoordinateMax;
  return static_cast<int32_t>(value);
}

} // namespace tovik
