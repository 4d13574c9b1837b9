#include "interpreter/dict.h"

#include <cstdint>

#include "support/hash.h"

namespace tovik {

namespace {

// A few hashes, one place per payload address. A payload's kTextHashed bit
// says it owns its place, so reading the hash needs no comparison, and
// whoever takes a place clears the bit of the payload that had it.
struct RememberedHash {
  const Object *text = nullptr;
  uint64_t hash = 0;
};
constexpr size_t kRememberedHashes = 128;
thread_local RememberedHash remembered[kRememberedHashes];

// Payloads are 48-byte blocks, mostly side by side: their addresses in
// 16-byte units step by 3, which is odd, so a run of them takes distinct
// places. The higher bits folded in spread blocks further apart.
RememberedHash &place_of(const Object &text) {
  auto address = reinterpret_cast<uintptr_t>(&text);
  return remembered[((address >> 4) ^ (address >> 11)) % kRememberedHashes];
}

} // namespace

uint64_t remembered_text_hash(const TextObject &text) {
  RememberedHash &place = place_of(text);
  if (text.hints & kTextHashed) return place.hash;
  const uint64_t hash = hash_text(text.text);
  if (place.text) place.text->hints &= static_cast<uint8_t>(~kTextHashed);
  place = {&text, hash};
  text.hints |= kTextHashed;
  return hash;
}

void forget_text_hash(const Object &text) { place_of(text) = {}; }

void Dict::grow() {
  size_t capacity = slots_.empty() ? 8 : slots_.size() * 2;
  slots_.assign(capacity, kEmpty);
  size_t mask = capacity - 1;
  for (uint32_t index = 0; index < entries_.size(); ++index) {
    size_t i = static_cast<size_t>(entries_[index].hash) & mask;
    while (slots_[i] != kEmpty) i = (i + 1) & mask;
    slots_[i] = index;
  }
}

void Dict::reserve(size_t count) {
  size_t capacity = 8;
  while (capacity < count * 2) capacity *= 2;
  entries_.reserve(count);
  if (capacity <= slots_.size()) return;
  slots_.assign(capacity, kEmpty);
  const size_t mask = capacity - 1;
  for (uint32_t index = 0; index < entries_.size(); ++index) {
    size_t i = static_cast<size_t>(entries_[index].hash) & mask;
    while (slots_[i] != kEmpty) i = (i + 1) & mask;
    slots_[i] = index;
  }
}

void Dict::set(std::string key, Value value) {
  uint64_t hash = hash_text(key);
  set(std::move(key), hash, std::move(value));
}

void Dict::set(std::string key, uint64_t hash, Value value) {
  // At most half full: a slot index costs 4 bytes, and short probe runs
  // keep lookups to about one comparison.
  if ((entries_.size() + 1) * 2 > slots_.size()) grow();
  size_t i = probe(key, hash);
  if (slots_[i] != kEmpty) {
    entries_[slots_[i]].value = std::move(value);
    return;
  }
  slots_[i] = static_cast<uint32_t>(entries_.size());
  entries_.push_back(Entry{std::move(key), hash, std::move(value)});
}

bool Dict::remove(std::string_view key, uint64_t hash) {
  if (slots_.empty()) return false;
  const size_t mask = slots_.size() - 1;
  size_t hole = probe(key, hash);
  if (slots_[hole] == kEmpty) return false;
  const uint32_t index = slots_[hole];
  // Backward-shift deletion: each entry after the hole in its probe run
  // moves up when the hole lies between its home slot and where it is, so
  // every lookup still finds its key without tombstones.
  for (size_t next = (hole + 1) & mask; slots_[next] != kEmpty;
       next = (next + 1) & mask) {
    const size_t home = static_cast<size_t>(entries_[slots_[next]].hash) & mask;
    if (((next - home) & mask) >= ((next - hole) & mask)) {
      slots_[hole] = slots_[next];
      hole = next;
    }
  }
  slots_[hole] = kEmpty;
  const auto last = static_cast<uint32_t>(entries_.size() - 1);
  if (index != last) {
    slots_[probe(entries_[last].key, entries_[last].hash)] = index;
    entries_[index] = std::move(entries_[last]);
  }
  entries_.pop_back();
  return true;
}

const Value *Dict::find(std::string_view key) const {
  return find(key, hash_text(key));
}

const Value *Dict::find(const TextObject &key) const {
  return find(key.text, text_hash(key));
}

} // namespace tovik
