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
  if (w.code.substr(0, 2) == "W2" || w.code == "W104") return false;
  if (w.code == "W103") {
    std::vector<QuietSpan> openers;
    for (const QuietSpan &s : quiet)
      if (s.openers) openers.push_back(s);
    return is_quiet(openers, w.line, w.column);
  }
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
  size_t end = line < starts.size() ? starts[line] - 1 : text.size();
  std::string_view out = text.substr(start, end - start);
  if (!out.empty() && out.back() == '\r') out.remove_suffix(1);
  return out;
}

bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// How much of a long line is quoted: this many characters before the
// column and after it, so a warning costs the same on any line.
constexpr size_t kQuoteBefore = 40;
constexpr size_t kQuoteAfter = 60;

// Where warnings on one line are in its text. Warnings come in text order,
// so each one walks on from the one before it on the same line and a line
// is walked once, however many warnings it has.
struct LineCursor {
  uint32_t line = 0;
  uint32_t column = 1;
  size_t offset = 0; // byte where `column` starts
};

// The quoted part of `line` around `column` and the caret under it: tabs
// kept so the caret lines up however the terminal sets tab stops, "..."
// where the line goes on.
std::string quote(std::string_view line, uint32_t column, LineCursor &cursor, uint32_t line_number) {
  if (cursor.line != line_number || cursor.column > column) cursor = {line_number, 1, 0};
  while (cursor.column < column && cursor.offset < line.size()) {
    ++cursor.offset;
    while (cursor.offset < line.size() && continues(line[cursor.offset])) ++cursor.offset;
    ++cursor.column;
  }
  size_t from = cursor.offset;
  for (size_t n = 0; n < kQuoteBefore && from > 0; ++n) {
    --from;
    while (from > 0 && continues(line[from])) --from;
  }
  size_t to = cursor.offset;
  for (size_t n = 0; n < kQuoteAfter && to < line.size(); ++n) {
    ++to;
    while (to < line.size() && continues(line[to])) ++to;
  }
  std::string head = from > 0 ? "..." : "";
  std::string out = head + std::string(line.substr(from, to - from)) +
                    (to < line.size() ? "..." : "") + "\n" + std::string(head.size(), ' ');
  for (size_t i = from; i < cursor.offset; ++i)
    if (!continues(line[i])) out += line[i] == '\t' ? '\t' : ' ';
  return out + "^\n";
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
  LineCursor cursor;
  // Each warning is written as it is formatted: the report is never held
  // whole in memory.
  for (const CheckWarning &w : warnings) {
    std::string out = file + ":" + std::to_string(w.line) + ":" + std::to_string(w.column) +
                      ": warning: " + w.message + " [" + std::string(w.code) + "]\n";
    if (terminal) out += quote(source_line(text, starts, w.line), w.column, cursor, w.line);
    std::fwrite(out.data(), 1, out.size(), stderr);
  }
  return warnings.empty() ? 0 : 1;
}

} // namespace tovik
