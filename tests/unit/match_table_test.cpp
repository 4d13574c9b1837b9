#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "interpreter/compile.h"
#include "interpreter/match_table.h"
#include "lexer/scanner.h"
#include "parser/parser.h"

namespace tovik {
namespace {

// The compiled statements of `source`, whose first must be a match.
std::vector<ExecStmt> compile(std::string_view source) {
  std::vector<ExecStmt> stmts = compile_program(parse_program(tokenize(source)));
  EXPECT_FALSE(stmts.empty());
  EXPECT_EQ(stmts[0].kind, StmtKind::Match);
  return stmts;
}

TEST(MatchTable, CoversTheLeadingLiteralArmsOnly) {
  auto stmts = compile(
      "match x { 1 => {} \"a\" => {} true => {} -4 => {} 2.5 => {} 7 => {} }");
  const MatchTable *table = stmts[0].match_table.get();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->covered(), 4u); // the float ends the run
  EXPECT_EQ(table->find(Value::number(1)), 0);
  EXPECT_EQ(table->find(Value::string("a")), 1);
  EXPECT_EQ(table->find(Value::boolean(true)), 2);
  EXPECT_EQ(table->find(Value::number(-4)), 3);
  // Left to the walk, which compares floats within the epsilon.
  EXPECT_EQ(table->find(Value::number(7)), -1);
  EXPECT_EQ(table->find(Value::real(2.5)), -1);
}

TEST(MatchTable, KindsNeverMixAndTheFirstDuplicateWins) {
  auto stmts = compile("match x { 1 => {} \"1\" => {} 0 => {} false => {} "
                       "1 => {} \"1\" => {} true => {} false => {} _ => {} 9 => {} }");
  const MatchTable *table = stmts[0].match_table.get();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->covered(), 8u); // up to the wildcard
  EXPECT_EQ(table->find(Value::number(1)), 0);
  EXPECT_EQ(table->find(Value::string("1")), 1);
  EXPECT_EQ(table->find(Value::number(0)), 2);
  EXPECT_EQ(table->find(Value::boolean(false)), 3);
  EXPECT_EQ(table->find(Value::boolean(true)), 6);
  EXPECT_EQ(table->find(Value::real(1.0)), -1);
  EXPECT_EQ(table->find(Value::real(0.0)), -1);
  EXPECT_EQ(table->find(Value()), -1);
  EXPECT_EQ(table->find(Value::string("")), -1);
  EXPECT_EQ(table->find(Value::number(9)), -1); // after the wildcard
}

TEST(MatchTable, ManyArmsAllFound) {
  std::string source = "match x {";
  for (int i = 0; i < 300; ++i)
    source += " " + std::to_string(i * 7 - 1000) + " => {} \"k" +
              std::to_string(i) + "\" => {}";
  source += " }";
  auto stmts = compile(source);
  const MatchTable *table = stmts[0].match_table.get();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->covered(), 600u);
  for (int i = 0; i < 300; ++i) {
    EXPECT_EQ(table->find(Value::number(i * 7 - 1000)), 2 * i);
    EXPECT_EQ(table->find(Value::string("k" + std::to_string(i))), 2 * i + 1);
    EXPECT_EQ(table->find(Value::number(i * 7 - 999)), -1);
  }
}

// Texts of every length around the hash's word size, each differing from
// the next in one byte: each finds its own arm and no other.
TEST(MatchTable, TextsDifferingInOneByteFindTheirOwnArm) {
  std::vector<std::string> texts;
  for (size_t n = 1; n <= 20; ++n) {
    std::string t(n, 'x');
    texts.push_back(t);
    t[n - 1] = 'y';
    texts.push_back(t);
    t[0] = 'y';
    texts.push_back(t);
  }
  texts.erase(texts.begin() + 1); // "y" twice for length 1
  std::string source = "match x {";
  for (const std::string &t : texts) source += " \"" + t + "\" => {}";
  source += " }";
  auto stmts = compile(source);
  const MatchTable *table = stmts[0].match_table.get();
  ASSERT_NE(table, nullptr);
  for (size_t i = 0; i < texts.size(); ++i)
    EXPECT_EQ(table->find(Value::string(texts[i])), static_cast<int32_t>(i)) << texts[i];
  EXPECT_EQ(table->find(Value::string("xxxxxxxxz")), -1);
  EXPECT_EQ(table->find(Value::string(std::string(21, 'x'))), -1);
}

TEST(MatchTable, NoTableWhenFewOrNoLeadingLiterals) {
  EXPECT_EQ(compile("match x { 1 => {} 2 => {} _ => {} }")[0].match_table, nullptr);
  EXPECT_EQ(compile("match x { _ => {} 1 => {} 2 => {} 3 => {} 4 => {} }")[0]
                .match_table,
            nullptr);
  EXPECT_EQ(compile("match x { y => {} 1 => {} 2 => {} 3 => {} 4 => {} }")[0]
                .match_table,
            nullptr);
}

} // namespace
} // namespace tovik
