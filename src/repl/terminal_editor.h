// Line editing and in-session history for a person at a terminal.
#pragma once

#include <histedit.h>
#include <locale.h>

#include <memory>
#include <string>
#include <string_view>

#include "repl/line_reader.h"

namespace tovik {

struct TerminalEditor {
  EditLine *editline = nullptr;
  History *history = nullptr;
  // Source text is UTF-8 whatever the environment's locale says; the editor
  // decodes keystrokes under this locale.
  locale_t utf8 = nullptr;
  std::string prompt; // what the editor draws before the line

  TerminalEditor() = default;
  ~TerminalEditor();
  TerminalEditor(const TerminalEditor &) = delete;
  TerminalEditor &operator=(const TerminalEditor &) = delete;
};

// Null when the terminal cannot be set up for editing.
std::unique_ptr<TerminalEditor> open_terminal_editor();
ReadResult edit_line(TerminalEditor &editor, const std::string &prompt);
void add_to_history(TerminalEditor &editor, std::string_view line);

} // namespace tovik
