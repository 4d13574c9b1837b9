#include "graphics/sdl_library.h"

#include <dlfcn.h>

#include <string>

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

namespace {

constexpr const char *kTtfFile = "libSDL2_ttf-2.0.so.0";

const TtfLibrary *load_ttf(std::string &why) {
  void *handle = dlopen(kTtfFile, RTLD_NOW | RTLD_GLOBAL);
  if (!handle) {
    const char *reason = dlerror();
    why = std::string("Could not load the text library (Debian package "
                      "libsdl2-ttf-2.0-0): ") +
          (reason ? reason : kTtfFile);
    return nullptr;
  }
  static TtfLibrary library;
#define TOVIK_TTF_LOAD(name)                                                 \
  library.name = reinterpret_cast<decltype(&TTF_##name)>(                    \
      dlsym(handle, "TTF_" #name));                                          \
  if (!library.name) {                                                       \
    why = std::string(kTtfFile) + " has no TTF_" #name;                      \
    return nullptr;                                                          \
  }
  TOVIK_TTF_FUNCTIONS(TOVIK_TTF_LOAD)
#undef TOVIK_TTF_LOAD
  return &library; // the handle stays open for the life of the process
}

} // namespace

const TtfLibrary *ttf_library(std::string &why) {
  static std::string failure;
  static const TtfLibrary *library = load_ttf(failure);
  if (!library) why = failure;
  return library;
}

} // namespace tovik
