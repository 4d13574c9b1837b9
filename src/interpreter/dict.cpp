#include "interpreter/dict.h"

#include "support/hash.h"

namespace tovik {

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

const Value *Dict::find(std::string_view key) const {
  return find(key, hash_text(key));
}

} // namespace tovik
