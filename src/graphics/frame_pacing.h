// The arithmetic of present()'s frame pacing, apart from any clock or
// backend: present() waits until one frame interval after the previous
// frame, so an animation loop sleeps instead of spinning and runs at the
// same speed on every machine.
#pragma once

#include <chrono>
#include <optional>

namespace tovik {

using PaceClock = std::chrono::steady_clock;

// 1/60 s, rounded down to the clock's tick.
inline constexpr PaceClock::duration kFrameInterval =
    std::chrono::duration_cast<PaceClock::duration>(
        std::chrono::nanoseconds(1'000'000'000 / 60));

struct FramePacer {
  // When the previous frame was due; nothing before the first.
  std::optional<PaceClock::time_point> previous;
};

// How long a frame presented at `now` waits: none for the first frame or
// one that is already late, else until one interval after the previous.
PaceClock::duration frame_wait(const FramePacer &pacer,
                               PaceClock::time_point now);

// Records a frame presented at `now` after waiting `wait`. The frame counts
// as shown when it was due, not when the sleep happened to end, so small
// oversleeps do not add up into a slower rate.
void frame_presented(FramePacer &pacer, PaceClock::time_point now,
                     PaceClock::duration wait);

} // namespace tovik
