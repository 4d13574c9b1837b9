// The keyboard and mouse as the browser page reports them with each frame
// it shows, turned into the events of input.h. The page's worker writes the
// report (web/src/run_worker.js); it is plain text so that this side can be
// built and tested natively too.
//
// The report: a first line "X Y HELD CLICKED" (the mouse in canvas pixels,
// whether the left button is held, whether it went down since the last
// frame, as 0 or 1), then a line per key: "+NAME" for a key held now,
// "*NAME" for one that went down since the last frame, NAME being the
// browser's own ("ArrowLeft", " ", "a", "A", "Enter").
#pragma once

#include <optional>
#include <string_view>

#include "graphics/input.h"

namespace tovik {

// "ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown", " ", "Enter",
// "Escape", "Shift", letters of either case and digits.
std::optional<Key> key_from_browser_name(std::string_view name);

// Reports, to a frame begun with begin_frame, what changed since `input`
// was last brought up to date: keys and the button going down or up, taps
// that came and went between two frames, the mouse's place. A malformed
// report changes nothing. True when Escape went down (it closes the window,
// as natively).
bool apply_browser_input(InputState &input, std::string_view report);

} // namespace tovik
