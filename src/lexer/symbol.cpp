#include "lexer/symbol.h"

#include <deque>
#include <string>
#include <unordered_map>

#include "support/hash.h"

namespace tovik {

namespace {

// Names come from scripts, so the table hashes with the per-process key the
// dictionaries use: a fixed hash would let chosen names share one bucket.
struct NameHash {
  size_t operator()(std::string_view name) const {
    return static_cast<size_t>(hash_text(name));
  }
};

struct SymbolTable {
  std::unordered_map<std::string_view, Symbol, NameHash> ids;
  std::deque<std::string> names; // stable addresses for the keys above
};

SymbolTable &table() {
  static SymbolTable *t = new SymbolTable(); // lives for the process
  return *t;
}

} // namespace

Symbol intern(std::string_view name) {
  SymbolTable &t = table();
  auto found = t.ids.find(name);
  if (found != t.ids.end()) return found->second;
  Symbol id = static_cast<Symbol>(t.names.size());
  t.names.emplace_back(name);
  t.ids.emplace(t.names.back(), id);
  return id;
}

const std::string &symbol_name(Symbol symbol) { return table().names[symbol]; }

uint32_t symbol_count() { return static_cast<uint32_t>(table().names.size()); }

} // namespace tovik
