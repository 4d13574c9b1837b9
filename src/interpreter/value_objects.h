// The shared payloads behind Value. Kept in a header so that reading a
// value's text, elements or entries is an inline field access.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/hash.h"
#include "interpreter/value.h"

namespace tovik {

// The dictionary payload: a map from text keys to values, open addressing
// over a seeded hash. Iteration follows the table's slots, so its order is
// undefined and changes from run to run.

struct TextObject;

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
  // As find, with the hash the key text remembers (dict.h).
  const Value *find(const TextObject &key) const;
  // Makes room for `count` entries at once, so a literal of known size
  // never regrows its table while it is filled.
  void reserve(size_t count);
  const Value *find(std::string_view key, uint64_t hash) const {
    if (slots_.empty()) return nullptr;
    uint32_t slot = slots_[probe(key, hash)];
    return slot == kEmpty ? nullptr : &entries_[slot].value;
  }
  // The stored value of `key`, for its holder to replace in place.
  Value *find(std::string_view key, uint64_t hash) {
    return const_cast<Value *>(std::as_const(*this).find(key, hash));
  }
  // Unbinds `key`; false when it was not bound. The last entry made takes
  // the removed one's place, so removing is O(1).
  bool remove(std::string_view key, uint64_t hash);
  // Rebinds the entry made `index`-th, for a table laid out in advance
  // whose entries are filled in the order they were made.
  void set_value_at(size_t index, Value value) {
    entries_[index].value = std::move(value);
  }
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
  // Equal hashes almost always mean equal keys: compare the lengths, then
  // the bytes in place instead of through a library call.
  static bool same_key(const std::string &stored, std::string_view key) {
    return stored.size() == key.size() &&
           same_bytes(stored.data(), key.data(), key.size());
  }
  size_t probe(std::string_view key, uint64_t hash) const {
    size_t mask = slots_.size() - 1;
    size_t i = static_cast<size_t>(hash) & mask;
    while (true) {
      uint32_t slot = slots_[i];
      if (slot == kEmpty) return i;
      const Entry &e = entries_[slot];
      if (e.hash == hash && same_key(e.key, key)) return i;
      i = (i + 1) & mask;
    }
  }

  std::vector<Entry> entries_;
  std::vector<uint32_t> slots_; // indices into entries_, power-of-two size
};

// Forty bytes, so that with the allocator's header a text takes 48: texts
// are the most numerous payloads. (Literal dictionary keys keep their hash
// in the syntax tree instead.)
// Bits of a text's hints (text_position.h).
inline constexpr uint8_t kTextAscii = 1;      // every byte below 0x80
inline constexpr uint8_t kTextMixed = 2;      // some byte 0x80 or above
inline constexpr uint8_t kTextPositioned = 4; // has a remembered position
inline constexpr uint8_t kTextHashed = 8;     // has a remembered hash (dict.h)
inline constexpr uint8_t kTextKeyed = 16;     // was hashed once as a key
void forget_text_position(const Object &text);
void forget_text_hash(const Object &text);

struct TextObject : Object {
  std::string text;
  TextObject(ValueKind k, std::string t) : Object(k), text(std::move(t)) {}
  TextObject(ValueKind k, std::string_view t) : Object(k), text(t) {}
  // A recycled block must not inherit the remembered position or hash.
  ~TextObject() {
    if (hints & kTextPositioned) forget_text_position(*this);
    if (hints & kTextHashed) forget_text_hash(*this);
  }
  // Texts are made and dropped by the hundred thousand (split, upper, the
  // strings of a loop), so their blocks are recycled (value.cpp).
  static void *operator new(size_t size);
  static void operator delete(void *block);
};

static_assert(sizeof(TextObject) <= 40, "texts stay in 48-byte blocks");

struct ArrayObject : Object {
  std::vector<Value> items;
  explicit ArrayObject(std::vector<Value> i)
      : Object(ValueKind::Array), items(std::move(i)) {}
};

struct DictObject : Object {
  Dict entries;
  explicit DictObject(Dict d) : Object(ValueKind::Dict), entries(std::move(d)) {}
};

template <typename Shape> struct ShapeObject : Object {
  Shape shape;
  ShapeObject(ValueKind k, Shape s) : Object(k), shape(s) {}
};

// What the accessors give for a value of another kind. Namespace-scope
// constants, not function statics, so reading them needs no guard.
inline const std::string kNoText;
inline const std::vector<Value> kNoItems;
inline const Dict kNoEntries;

inline const std::string &Value::as_text() const {
  if (kind_ == ValueKind::String || kind_ == ValueKind::Error ||
      kind_ == ValueKind::BuiltinFunction)
    return static_cast<const TextObject *>(payload())->text;
  return kNoText;
}

inline const std::vector<Value> &Value::as_array() const {
  if (kind_ != ValueKind::Array) return kNoItems;
  return static_cast<const ArrayObject *>(payload())->items;
}

inline const Dict &Value::as_dict() const {
  if (kind_ != ValueKind::Dict) return kNoEntries;
  return static_cast<const DictObject *>(payload())->entries;
}


} // namespace tovik
