#include "repl/line_reader.h"

#include <unistd.h>

#include <cstdio>

#include "interpreter/builtins/builtins.h"
#include "repl/interrupt.h"
#include "repl/terminal_editor.h"
#include "support/halt.h"
#include "support/source.h"
#include "support/stdin_reader.h"

namespace tovik {

namespace {

// Reads in blocks through the buffer input() shares, so a script's input()
// reads exactly the lines after its own; each read is preceded by a wait
// that Ctrl-C can end.
ReadResult read_plain_line(const std::string &prompt) {
  write_output(prompt);
  flush_output();
  std::string line;
  switch (read_stdin_line(line, wait_for_input)) {
  case StdinRead::Interrupted:
    // A half-read line is dropped with the rest of the input being typed.
    drop_kept_stdin();
    return {ReadStatus::Interrupted, {}};
  case StdinRead::Failed: return {ReadStatus::Closed, {}};
  case StdinRead::Line:
  case StdinRead::End: break;
  }
  // End of input with nothing read ends the loop; a last line without a
  // line end still counts.
  if (line.empty() || !is_valid_utf8(line)) return {ReadStatus::Closed, {}};
  return {ReadStatus::Line, std::move(line)};
}

} // namespace

LineReader::LineReader() {
  // Nothing may read ahead of the shared buffer through stdio.
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
