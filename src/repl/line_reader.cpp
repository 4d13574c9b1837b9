#include "repl/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "interpreter/builtins/builtins.h"
#include "repl/interrupt.h"
#include "repl/terminal_editor.h"
#include "support/halt.h"
#include "support/source.h"

namespace tovik {

namespace {

// Reads byte by byte straight from the descriptor, each read preceded by a
// wait that Ctrl-C can end. Standard input is unbuffered while the loop
// runs, so input() in a script reads exactly the lines after its own.
ReadResult read_plain_line(const std::string &prompt) {
  write_output(prompt);
  flush_output();
  std::string line;
  for (;;) {
    // A half-read line is dropped with the rest of the input being typed.
    if (!wait_for_input(STDIN_FILENO)) return {ReadStatus::Interrupted, {}};
    char byte;
    ssize_t count = read(STDIN_FILENO, &byte, 1);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return {ReadStatus::Closed, {}};
    if (count == 0) break;
    line += byte;
    if (byte == '\n') break;
  }
  // End of input with nothing read ends the loop; a last line without a
  // line end still counts.
  if (line.empty() || !is_valid_utf8(line)) return {ReadStatus::Closed, {}};
  return {ReadStatus::Line, std::move(line)};
}

} // namespace

LineReader::LineReader() {
  std::setvbuf(stdin, nullptr, _IONBF, 0);
  // The editor draws the prompt and the line on standard output and goes
  // silent when that is not a terminal, so both ends must be one.
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO))
    m_editor = open_terminal_editor();
}

LineReader::~LineReader() = default;

ReadResult LineReader::read_line(const std::string &prompt) {
  ReadResult result =
      m_editor ? edit_line(*m_editor, prompt) : read_plain_line(prompt);
  // This Ctrl-C has done its work: it cancelled the line.
  if (result.status == ReadStatus::Interrupted) interrupt_requested = 0;
  return result;
}

void LineReader::remember(std::string_view line) {
  if (m_editor) add_to_history(*m_editor, line);
}

} // namespace tovik
