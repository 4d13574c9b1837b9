// Reading the interactive loop's input one line at a time.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace tovik {

enum class ReadStatus {
  Line,        // `text` holds the line, with its line end if it had one
  Interrupted, // Ctrl-C at the prompt: whatever was typed is gone
  Closed,      // end of input, a failed read, or a line that is not UTF-8
};

struct ReadResult {
  ReadStatus status = ReadStatus::Closed;
  std::string text;
};

struct TerminalEditor;

// Shows a prompt and reads a line. At a terminal the line can be edited and
// earlier lines recalled; otherwise (pipes, files) the bytes are read as they
// come. Either way the prompt goes to standard output through the same buffer
// as script output, so the two keep their order.
class LineReader {
public:
  LineReader();
  ~LineReader();
  LineReader(const LineReader &) = delete;
  LineReader &operator=(const LineReader &) = delete;

  ReadResult read_line(const std::string &prompt);
  // Keeps `line` for recall during this session (terminal only).
  void remember(std::string_view line);

private:
  std::unique_ptr<TerminalEditor> m_editor; // null when not at a terminal
};

} // namespace tovik
