#include "graphics/sdl_library.h"

#include <dlfcn.h>

namespace tovik {

namespace {

const SdlLibrary *load() {
  void *handle = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_GLOBAL);
  if (!handle) return nullptr;
  static SdlLibrary library;
#define TOVIK_SDL_LOAD(name)                                                 \
  library.name = reinterpret_cast<decltype(&SDL_##name)>(                    \
      dlsym(handle, "SDL_" #name));                                          \
  if (!library.name) return nullptr;
  TOVIK_SDL_FUNCTIONS(TOVIK_SDL_LOAD)
#undef TOVIK_SDL_LOAD
  return &library; // the handle stays open for the life of the process
}

} // namespace

const SdlLibrary *sdl_library() {
  static const SdlLibrary *library = load();
  return library;
}

} // namespace tovik
