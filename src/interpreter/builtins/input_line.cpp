#include "interpreter/builtins/input_line.h"

#include <unicode/utf8.h>

#include "support/limits.h"
#include "support/source.h"
#include "support/stdin_reader.h"

namespace tovik {

namespace {

std::string finish_input_line(const std::string &line) {
  if (!is_valid_utf8(line)) return std::string();
  return std::string(trim_white_space(line));
}

} // namespace

std::string read_input_line(std::FILE *in) {
  std::string line;
  for (;;) {
    int c = std::getc(in);
    if (c == EOF) break;
    check_text_length(line.size() + 1);
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  // Both flags are sticky; clearing them lets a later prompt on a terminal
  // wait for input again instead of failing at once.
  std::clearerr(in);
  return finish_input_line(line);
}

std::string read_input_line_from_stdin() {
  std::string line;
  // The end, a failed read or a signal all keep what arrived before them.
  read_stdin_line(line, nullptr);
  check_text_length(line.size());
  return finish_input_line(line);
}

std::optional<std::string> read_input_line_or_end_from_stdin() {
  std::string line;
  StdinRead read = read_stdin_line(line, nullptr);
  if (read != StdinRead::Line && line.empty()) return std::nullopt;
  check_text_length(line.size());
  return finish_input_line(line);
}

} // namespace tovik
