// SDL is loaded when a script first opens a window, not at start-up: the
// library drags in the whole audio and windowing stack, which would cost
// every run tens of milliseconds and several megabytes for nothing when a
// script never draws.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <string>

namespace tovik {

// The SDL functions the canvas uses, in one list.
#define TOVIK_SDL_FUNCTIONS(X)                                               \
  X(Init)                                                                    \
  X(InitSubSystem)                                                           \
  X(QuitSubSystem)                                                           \
  X(Quit)                                                                    \
  X(CreateWindow)                                                            \
  X(DestroyWindow)                                                           \
  X(CreateRenderer)                                                          \
  X(DestroyRenderer)                                                         \
  X(GetWindowPixelFormat)                                                    \
  X(GetWindowSize)                                                           \
  X(SetRenderDrawColor)                                                      \
  X(RenderClear)                                                             \
  X(RenderDrawPoint)                                                         \
  X(RenderDrawLine)                                                          \
  X(RenderDrawRect)                                                          \
  X(RenderFillRect)                                                          \
  X(RenderPresent)                                                           \
  X(PollEvent)                                                               \
  X(GetError)                                                                \
  X(GetCurrentVideoDriver)                                                   \
  X(GetRenderDrawColor)                                                      \
  X(CreateTextureFromSurface)                                                \
  X(DestroyTexture)                                                          \
  X(FreeSurface)                                                             \
  X(RenderCopy)

struct SdlLibrary {
#define TOVIK_SDL_POINTER(name) decltype(&SDL_##name) name = nullptr;
  TOVIK_SDL_FUNCTIONS(TOVIK_SDL_POINTER)
#undef TOVIK_SDL_POINTER
};

// The loaded library, or null when it cannot be loaded (a window then
// simply fails to open, like any other failed window creation).
const SdlLibrary *sdl_library();

} // namespace tovik

namespace tovik {

// SDL_ttf, for text, loaded the same way on the first text drawn.
#define TOVIK_TTF_FUNCTIONS(X)                                               \
  X(Init)                                                                    \
  X(Quit)                                                                    \
  X(OpenFont)                                                                \
  X(CloseFont)                                                               \
  X(FontHeight)                                                              \
  X(MeasureUTF8)                                                             \
  X(RenderUTF8_Blended)

struct TtfLibrary {
#define TOVIK_TTF_POINTER(name) decltype(&TTF_##name) name = nullptr;
  TOVIK_TTF_FUNCTIONS(TOVIK_TTF_POINTER)
#undef TOVIK_TTF_POINTER
};

// The loaded text library, or null with the reason in `why`. Only asked
// for once SDL itself is loaded, which the text library builds on.
const TtfLibrary *ttf_library(std::string &why);

} // namespace tovik
