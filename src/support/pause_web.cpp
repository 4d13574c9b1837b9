// The web build's pauses: a few times a frame, a run that never waits for
// input or a frame still hands its worker back to the browser for a moment,
// so that Stop, which ends the worker, takes effect at once.
#include "support/halt.h"

#include <emscripten.h>
#include <emscripten/stack.h>

EM_JS(int, tovik_web_can_pause, (), {
  return Module.tovikPause ? 1 : 0;
});
EM_ASYNC_JS(void, tovik_web_pause, (), {
  await Module.tovikPause();
});

namespace tovik {

namespace {

// Steps between looks at the clock: a look costs a call out to JavaScript.
constexpr uint32_t kStepsBetweenLooks = 1 << 16;
constexpr double kMillisecondsBetweenPauses = 20;
// A pause saves the whole call chain and restores it after; deeper than
// this it would cost more than it gives, and a recursion that deep ends
// soon anyway, at the recursion limit.
constexpr uintptr_t kDeepestPause = 256 * 1024;

double last_pause = 0;

} // namespace

uint32_t steps_to_pause = kStepsBetweenLooks;

void pause_for_page() {
  steps_to_pause = kStepsBetweenLooks;
  static const bool can_pause = tovik_web_can_pause();
  if (!can_pause) return;
  if (emscripten_stack_get_base() - emscripten_stack_get_current() >
      kDeepestPause)
    return;
  double now = emscripten_get_now();
  if (now - last_pause < kMillisecondsBetweenPauses) return;
  tovik_web_pause();
  last_pause = emscripten_get_now();
}

} // namespace tovik
