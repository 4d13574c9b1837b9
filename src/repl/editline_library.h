// The line editor is loaded when an interactive session first needs it, not
// at start-up: scripts never edit lines, and the library with its terminal
// and BSD dependencies would add to every run's memory.
#pragma once

#include <histedit.h>

namespace tovik {

// The editor functions the session uses, in one list.
#define TOVIK_EDITLINE_FUNCTIONS(X)                                            \
  X(el_init)                                                                   \
  X(el_end)                                                                    \
  X(el_reset)                                                                  \
  X(el_gets)                                                                   \
  X(el_get)                                                                    \
  X(el_set)                                                                    \
  X(el_wset)                                                                   \
  X(history_init)                                                              \
  X(history_end)                                                               \
  X(history)

struct EditlineLibrary {
#define TOVIK_EDITLINE_MEMBER(name) decltype(&::name) name = nullptr;
  TOVIK_EDITLINE_FUNCTIONS(TOVIK_EDITLINE_MEMBER)
#undef TOVIK_EDITLINE_MEMBER
};

// Null when the library cannot be opened; the session then reads plain
// lines.
const EditlineLibrary *editline_library();

} // namespace tovik
