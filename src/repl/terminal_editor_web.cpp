// The web build has no terminal to edit lines in: the interactive loop
// reads plain lines.
#include "repl/terminal_editor.h"

namespace tovik {

TerminalEditor::~TerminalEditor() = default;

std::unique_ptr<TerminalEditor> open_terminal_editor() { return nullptr; }

ReadResult edit_line(TerminalEditor &, const std::string &) { return {}; }

void add_to_history(TerminalEditor &, std::string_view) {}

} // namespace tovik
