#include "interpreter/match_table.h"

#include <bit>
#include <cstring>
#include <string_view>

#include "interpreter/arithmetic.h"
#include "interpreter/exec_tree.h"
#include "support/hash.h"

namespace tovik {

namespace {

// Below this many literal arms the ordered walk is as cheap as a lookup.
constexpr size_t kMinimumArms = 4;

// The longest text the table remembers by payload.
constexpr size_t kRecentTextLimit = 64;

uint64_t hash_number(int64_t n) {
  // A fixed mixer is enough: the keys are the script's own literals.
  uint64_t x = static_cast<uint64_t>(n) + 0x9e3779b97f4a7c15ull;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return x ^ (x >> 31);
}

// Unkeyed, unlike the dictionaries' hash, and a few instructions a word: the
// table's entries are the script's own literals, so no subject can lengthen
// a probe beyond the runs those literals form.
uint64_t hash_literal_text(std::string_view text) {
  const char *p = text.data();
  size_t n = text.size();
  uint64_t h = static_cast<uint64_t>(n) * 0x9e3779b97f4a7c15ull;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    h = (h ^ w) * 0xbf58476d1ce4e5b9ull;
    h ^= h >> 29;
  }
  uint64_t last = 0;
  for (size_t i = 0; i < n; ++i)
    last |= static_cast<uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return hash_number(static_cast<int64_t>(h ^ last));
}

bool same_text(const std::string &a, const std::string &b) {
  return a.size() == b.size() && same_bytes(a.data(), b.data(), a.size());
}

// What a pattern denotes when it is a literal the table can hold: an
// integer (a negated one included: `-1` is an operator over 1), a text or
// a boolean.
struct Literal {
  ValueKind kind = ValueKind::Null;
  int64_t number = 0;
  const std::string *text = nullptr;
};

bool table_literal(const ExecExpr &e, Literal &out) {
  switch (e.kind) {
  case ExprKind::Number:
    out = {ValueKind::Number, e.number, nullptr};
    return true;
  case ExprKind::String:
    out = {ValueKind::String, 0, &e.text};
    return true;
  case ExprKind::Boolean:
    out = {ValueKind::Boolean, e.boolean ? 1 : 0, nullptr};
    return true;
  case ExprKind::UnaryOp:
    if (e.op.kind == TokenKind::Minus && e.left &&
        e.left->kind == ExprKind::Number) {
      out = {ValueKind::Number, wrap_sub(0, e.left->number), nullptr};
      return true;
    }
    return false;
  default:
    return false;
  }
}

} // namespace

std::shared_ptr<const MatchTable> MatchTable::build(const std::vector<ExecArm> &arms) {
  std::vector<Literal> literals;
  for (const ExecArm &arm : arms) {
    Literal literal;
    if (arm.pattern.kind != PatternKind::Value ||
        !table_literal(arm.pattern.value, literal))
      break;
    literals.push_back(literal);
  }
  if (literals.size() < kMinimumArms) return nullptr;

  auto table = std::make_shared<MatchTable>();
  table->covered_ = literals.size();
  // At most half full, so a miss ends after a probe or two.
  size_t capacity = std::bit_ceil(literals.size() * 2);
  table->slots_.resize(capacity);
  table->mask_ = capacity - 1;
  for (size_t i = 0; i < literals.size(); ++i) {
    const Literal &l = literals[i];
    auto arm = static_cast<int32_t>(i);
    switch (l.kind) {
    case ValueKind::Boolean: {
      int32_t &slot = l.number ? table->on_true_ : table->on_false_;
      if (slot < 0) slot = arm;
      break;
    }
    case ValueKind::Number:
      table->insert(l.kind, hash_number(l.number), l.number, {}, arm);
      break;
    default:
      table->insert(l.kind, hash_literal_text(*l.text), 0, *l.text, arm);
      break;
    }
  }
  return table;
}

const MatchTable::Slot *MatchTable::probe(ValueKind kind, uint64_t hash,
                                          int64_t number,
                                          const std::string *text) const {
  for (uint64_t i = hash & mask_;; i = (i + 1) & mask_) {
    const Slot &slot = slots_[i];
    if (slot.arm < 0) return &slot;
    if (slot.kind == kind && slot.hash == hash &&
        (text ? same_text(slot.text, *text) : slot.number == number))
      return &slot;
  }
}

void MatchTable::insert(ValueKind kind, uint64_t hash, int64_t number,
                        std::string text, int32_t arm) {
  auto *slot = const_cast<Slot *>(
      probe(kind, hash, number, kind == ValueKind::String ? &text : nullptr));
  if (slot->arm >= 0) return; // a duplicate: the earlier arm wins
  slot->arm = arm;
  slot->kind = kind;
  slot->hash = hash;
  slot->number = number;
  slot->text = std::move(text);
}

int32_t MatchTable::find(const Value &subject) const {
  switch (subject.kind()) {
  case ValueKind::Number: {
    int64_t n = subject.as_number();
    return probe(ValueKind::Number, hash_number(n), n, nullptr)->arm;
  }
  case ValueKind::String: {
    // Payloads lie at regular strides; multiplying spreads them.
    auto address = reinterpret_cast<uintptr_t>(subject.object());
    Recent &recent = recent_[(address * 0x9e3779b97f4a7c15ull) >> (64 - kRecentBits)];
    if (recent.text.object() == subject.object()) return recent.arm;
    const std::string &text = subject.as_text();
    int32_t arm = probe(ValueKind::String, hash_literal_text(text), 0, &text)->arm;
    if (text.size() <= kRecentTextLimit) {
      recent.text = subject;
      recent.arm = arm;
    }
    return arm;
  }
  case ValueKind::Boolean:
    return subject.as_boolean() ? on_true_ : on_false_;
  default:
    return -1; // floats, null and the rest match no covered arm
  }
}

} // namespace tovik
