// The dictionary payload: a map from text keys to values, open addressing
// over a seeded hash. Iteration follows the table's slots, so its order is
// undefined and changes from run to run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interpreter/value.h"

namespace tovik {

class Dict {
public:
  struct Entry {
    std::string key;
    uint64_t hash;
    Value value;
  };

  // Binds `key`, replacing an earlier binding of the same key.
  void set(std::string key, Value value);
  void set(std::string key, uint64_t hash, Value value);
  const Value *find(std::string_view key) const;
  const Value *find(std::string_view key, uint64_t hash) const;
  size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  // Calls visit(entry) for every entry, in table order.
  template <typename Visit> void for_each(Visit &&visit) const {
    for (uint32_t slot : slots_)
      if (slot != kEmpty) visit(entries_[slot]);
  }

private:
  static constexpr uint32_t kEmpty = 0xffffffffu;
  void grow();
  size_t probe(std::string_view key, uint64_t hash) const;

  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_; // indices into entries_, power-of-two size
};

} // namespace tovik
