// The checks on tokens and parser repairs (W1xx, W2xx).
#pragma once

#include <utility>
#include <vector>

#include "check/warning.h"
#include "lexer/scanner.h"
#include "parser/parser.h"

namespace tovik {

// A stretch of one line that an earlier warning already explains; repairs
// and name warnings inside it would only repeat that warning.
struct QuietSpan {
  uint32_t line;
  uint32_t from_column;
  uint32_t to_column; // inclusive
  uint32_t to_line = 0; // when later than `line`: the span ends there instead
  bool openers = false;  // brackets left open inside it are part of the same mistake
};

bool is_quiet(const std::vector<QuietSpan> &spans, uint32_t line, uint32_t column);

struct SyntaxFindings {
  CheckWarnings warnings;
  std::vector<QuietSpan> quiet;
  // Characters of other languages' operators (`&&`, `||`, `^`), in text
  // order: a condition holding one is dropped with its block.
  std::vector<std::pair<uint32_t, uint32_t>> foreign_operators;
};

void check_scan_notes(const std::vector<ScanNote> &notes, SyntaxFindings &found);
void check_forms(const std::vector<Token> &tokens, SyntaxFindings &found);
void check_recoveries(const std::vector<Recovery> &recoveries, const std::vector<Token> &tokens,
                      SyntaxFindings &found);

} // namespace tovik
