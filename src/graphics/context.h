// The interpreter's one graphics context: at most one window, opened on
// request and kept until the interpreter is released.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "graphics/canvas.h"
#include "interpreter/value.h"

namespace tovik {

struct DrawColour {
  uint8_t r = 255, g = 255, b = 255, a = 255;
  bool operator==(const DrawColour &) const = default;
};

// Source of window events; owned by the context once a window exists.
class EventQueue {
public:
  virtual ~EventQueue() = default;
  // Reads every pending event; true when one of them asks to close.
  virtual bool poll_close_requested() = 0;
};

struct GraphicsContext {
  std::unique_ptr<EventQueue> event_queue;
  std::unique_ptr<Canvas> canvas;
  DrawColour draw_colour;
  bool sdl_held = false;
  bool open = false;

  GraphicsContext();
  ~GraphicsContext();
  GraphicsContext(const GraphicsContext &) = delete;
  GraphicsContext &operator=(const GraphicsContext &) = delete;
};

// The "sdl2." library: answers the 16 names it knows, nothing otherwise.
std::optional<Value> call_graphics(std::string_view name,
                                   std::span<Value> args,
                                   GraphicsContext &graphics);

} // namespace tovik
