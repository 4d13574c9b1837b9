#include "graphics/context.h"

namespace tovik {

GraphicsContext::GraphicsContext() = default;
GraphicsContext::~GraphicsContext() = default;

// Placeholder until the graphics library lands.
std::optional<Value> call_graphics(std::string_view, std::span<Value>,
                                   GraphicsContext &) {
  return std::nullopt;
}

} // namespace tovik
