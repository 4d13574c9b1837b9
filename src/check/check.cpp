#include "check/check.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "check/names.h"
#include "check/syntax.h"
#include "main/runner.h"
#include "support/source.h"

namespace tovik {

namespace {

bool before(const CheckWarning &a, const CheckWarning &b) {
  if (a.line != b.line) return a.line < b.line;
  return a.column < b.column;
}

// Repairs and names inside a span an earlier warning explains are dropped.
bool explained(const CheckWarning &w, const std::vector<QuietSpan> &quiet) {
  if (w.code.substr(0, 2) == "W2" || w.code == "W104" || w.code == "W103") return false;
  return is_quiet(quiet, w.line, w.column);
}

// Where each line starts, so quoting a line costs no scan of the text.
std::vector<size_t> line_starts(std::string_view text) {
  std::vector<size_t> starts{0};
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n') starts.push_back(i + 1);
  return starts;
}

// The text of line `line` (1-based), without its line end.
std::string_view source_line(std::string_view text, const std::vector<size_t> &starts,
                             uint32_t line) {
  if (line == 0 || line > starts.size()) return {};
  size_t start = starts[line - 1];
  size_t end = text.find('\n', start);
  std::string_view out = text.substr(start, end == std::string_view::npos ? end : end - start);
  if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
  return out;
}

// Blanks under the line up to `column`, keeping its tabs so the caret
// lines up however the terminal sets tab stops.
std::string caret_line(std::string_view line, uint32_t column) {
  std::string out;
  uint32_t seen = 1;
  for (size_t i = 0; i < line.size() && seen < column; ++i) {
    unsigned char c = static_cast<unsigned char>(line[i]);
    if ((c & 0xC0) == 0x80) continue; // a code point counts once
    out += c == '\t' ? '\t' : ' ';
    ++seen;
  }
  return out + "^";
}

} // namespace

CheckWarnings check_source(std::string_view text) {
  std::vector<ScanNote> scan_notes;
  std::vector<Token> tokens = tokenize(text, &scan_notes);
  std::vector<Recovery> recoveries;
  std::vector<Stmt> program = parse_program(tokens, &recoveries);

  SyntaxFindings found;
  check_scan_notes(scan_notes, found);
  check_forms(tokens, found);
  check_recoveries(recoveries, tokens, found);
  check_tree(program, found.warnings);

  // Spans start in text order; a warning only needs the spans that start
  // before it, and each is looked at once per warning in a bounded window.
  std::sort(found.quiet.begin(), found.quiet.end(), [](const QuietSpan &a, const QuietSpan &b) {
    return a.line != b.line ? a.line < b.line : a.from_column < b.from_column;
  });
  CheckWarnings out;
  for (CheckWarning &w : found.warnings) {
    auto end = std::upper_bound(found.quiet.begin(), found.quiet.end(), w,
                                [](const CheckWarning &x, const QuietSpan &s) {
                                  return x.line != s.line ? x.line < s.line
                                                          : x.column < s.from_column;
                                });
    auto begin = end - std::min<ptrdiff_t>(end - found.quiet.begin(), 8);
    if (explained(w, std::vector<QuietSpan>(begin, end))) continue;
    out.push_back(std::move(w));
  }
  std::stable_sort(out.begin(), out.end(), before);
  out.erase(std::unique(out.begin(), out.end(),
                        [](const CheckWarning &a, const CheckWarning &b) {
                          return a.line == b.line && a.column == b.column && a.code == b.code;
                        }),
            out.end());
  return out;
}

int check_file(const std::string &file) {
  // The same refusals, in the same words, as running the file.
  if (!has_script_extension(file)) {
    std::fputs("Error: Only .tvk files are allowed.\n", stderr);
    return 1;
  }
  std::string text;
  std::string error = read_source_file(file, text);
  if (!error.empty()) {
    std::fprintf(stderr, "Error: Failed to read the file: %s\n", error.c_str());
    return 1;
  }
  CheckWarnings warnings = check_source(text);
  bool terminal = isatty(STDERR_FILENO);
  std::vector<size_t> starts = terminal ? line_starts(text) : std::vector<size_t>{};
  std::string out;
  for (const CheckWarning &w : warnings) {
    out += file + ":" + std::to_string(w.line) + ":" + std::to_string(w.column) +
           ": warning: " + w.message + " [" + std::string(w.code) + "]\n";
    if (terminal) {
      std::string_view line = source_line(text, starts, w.line);
      out += std::string(line) + "\n" + caret_line(line, w.column) + "\n";
    }
  }
  std::fwrite(out.data(), 1, out.size(), stderr);
  return warnings.empty() ? 0 : 1;
}

} // namespace tovik
