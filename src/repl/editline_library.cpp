#include "repl/editline_library.h"

#include <dlfcn.h>

namespace tovik {

namespace {

const EditlineLibrary *load() {
  void *handle = dlopen("libedit.so.2", RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  static EditlineLibrary library;
#define TOVIK_EDITLINE_LOAD(name)                                              \
  library.name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));    \
  if (!library.name) return nullptr;
  TOVIK_EDITLINE_FUNCTIONS(TOVIK_EDITLINE_LOAD)
#undef TOVIK_EDITLINE_LOAD
  return &library; // the handle stays open for the life of the process
}

} // namespace

const EditlineLibrary *editline_library() {
  static const EditlineLibrary *library = load();
  return library;
}

} // namespace tovik
