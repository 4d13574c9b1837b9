#include "graphics/frame_pacing.h"

namespace tovik {

PaceClock::duration frame_wait(const FramePacer &pacer,
                               PaceClock::time_point now) {
  if (!pacer.previous) return PaceClock::duration::zero();
  const PaceClock::time_point due = *pacer.previous + kFrameInterval;
  return due > now ? due - now : PaceClock::duration::zero();
}

void frame_presented(FramePacer &pacer, PaceClock::time_point now,
                     PaceClock::duration wait) {
  pacer.previous = now + wait;
}

} // namespace tovik
