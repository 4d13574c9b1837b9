#include "repl/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "interpreter/builtins/builtins.h"
#include "interpreter/halt.h"
#include "main/source.h"
#include "repl/terminal_editor.h"

namespace tovik {

namespace {

// Reads through stdin's own buffer, which input() shares, so a script that
// reads input gets exactly the lines after its own.
ReadResult read_plain_line(const std::string &prompt) {
  write_output(prompt);
  flush_output();
  char *buffer = nullptr;
  size_t capacity = 0;
  ssize_t length = getline(&buffer, &capacity, stdin);
  ReadResult result;
  if (interrupt_requested) {
    // A read cut short by Ctrl-C may return part of a line: drop it.
    clearerr(stdin);
    result.status = ReadStatus::Interrupted;
  } else if (length > 0) {
    result.text.assign(buffer, static_cast<size_t>(length));
    result.status = is_valid_utf8(result.text) ? ReadStatus::Line
                                               : ReadStatus::Closed;
  }
  std::free(buffer);
  return result;
}

} // namespace

LineReader::LineReader() {
  // The editor draws the prompt and the line on standard output and goes
  // silent when that is not a terminal, so both ends must be one.
  if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO))
    m_editor = open_terminal_editor();
}

LineReader::~LineReader() = default;

ReadResult LineReader::read_line(const std::string &prompt) {
  // A Ctrl-C that came after the last input finished has nothing left to
  // stop; it must not cut short the line about to be read.
  interrupt_requested = 0;
  return m_editor ? edit_line(*m_editor, prompt) : read_plain_line(prompt);
}

void LineReader::remember(std::string_view line) {
  if (m_editor) add_to_history(*m_editor, line);
}

} // namespace tovik
