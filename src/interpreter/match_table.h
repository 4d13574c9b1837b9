// Dispatch of a `match` whose first arms are integer, text or boolean
// literals: a table from value to the first of those arms that it matches,
// built when the statement is compiled, so choosing among many arms costs
// one lookup instead of a comparison per arm.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "interpreter/value.h"

namespace tovik {

struct ExecArm;

class MatchTable {
public:
  // The table for the leading run of literal arms, or null when that run is
  // too short for a table to beat the ordered walk. A wildcard, a float, a
  // name or any other expression ends the run: from there on the arms are
  // walked in order as before, since they may match across the epsilon,
  // depend on variables or have side effects.
  static std::shared_ptr<const MatchTable> build(const std::vector<ExecArm> &arms);

  // The index of the first covered arm that `subject` matches, or -1. Kinds
  // never mix: the integer 1 selects neither 1.0 nor true.
  int32_t find(const Value &subject) const;
  // The covered arms are [0, covered()); the walk goes on from there.
  size_t covered() const { return covered_; }

private:
  struct Slot {
    int32_t arm = -1; // -1: empty
    ValueKind kind = ValueKind::Null;
    uint64_t hash = 0;
    int64_t number = 0;
    std::string text;
  };
  // Keeps the first arm for a value that is already present.
  void insert(ValueKind kind, uint64_t hash, int64_t number, std::string text,
              int32_t arm);
  const Slot *probe(ValueKind kind, uint64_t hash, int64_t number,
                    const std::string *text) const;

  // Texts matched lately, by payload: a subject that is one of them (a
  // token kept in an array, a shared one-character text) skips hashing and
  // comparing. Each entry holds a reference, so its payload can neither
  // change in place nor be freed and its address reused while it is here;
  // only short texts are kept, so nothing large stays alive for it.
  struct Recent {
    Value text;
    int32_t arm = -1;
  };
  static constexpr unsigned kRecentBits = 5;
  mutable std::array<Recent, size_t{1} << kRecentBits> recent_;
  std::vector<Slot> slots_; // open addressing, a power of two long
  uint64_t mask_ = 0;
  int32_t on_true_ = -1;
  int32_t on_false_ = -1;
  size_t covered_ = 0;
};

} // namespace tovik
