// Library functions on arrays and dictionaries. Each gives a new value; a
// first argument that nobody else holds (`x = set(x, k, v)` hands over the
// variable's) is changed in place, so updating costs O(1), not a copy. The
// change is made in the argument itself, so a caller that handed over its
// variable can take the value back if the run halts on the way.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "interpreter/arithmetic.h"
#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/library.h"
#include "interpreter/dict.h"
#include "interpreter/function.h"
#include "interpreter/interpreter.h"
#include "support/halt.h"
#include "support/limits.h"

namespace tovik {

namespace {

// An element's position from an index that may count from the end (-1 is
// the last); nothing when it is not numeric or out of range.
std::optional<size_t> element_at(const Value &index, size_t length) {
  if (!is_numeric(index)) return std::nullopt;
  int64_t i = to_integer(index);
  const auto signed_length = static_cast<int64_t>(length);
  if (i < 0) i += signed_length;
  if (i < 0 || i >= signed_length) return std::nullopt;
  return static_cast<size_t>(i);
}

uint64_t key_hash(const Value &key) {
  return text_hash(*static_cast<const TextObject *>(key.object()));
}

} // namespace

Value library_set(LibraryArgs args, Interpreter &) {
  if (args.size() < 3) return Value();
  if (args[0].is(ValueKind::Array)) {
    std::optional<size_t> at = element_at(args[1], args[0].as_array().size());
    if (!at) return Value();
    args[0].mutable_array()[*at] = std::move(args[2]);
    return std::move(args[0]);
  }
  if (args[0].is(ValueKind::Dict) && args[1].is(ValueKind::String)) {
    const uint64_t hash = key_hash(args[1]);
    Dict &entries = args[0].mutable_dict();
    if (Value *bound = entries.find(args[1].as_text(), hash)) {
      *bound = std::move(args[2]);
    } else {
      check_array_length(entries.size() + 1);
      entries.set(args[1].as_text(), hash, std::move(args[2]));
    }
    return std::move(args[0]);
  }
  return Value();
}

Value library_remove(LibraryArgs args, Interpreter &) {
  if (args.size() < 2) return Value();
  if (args[0].is(ValueKind::Array)) {
    if (!is_numeric(args[1])) return Value();
    std::optional<size_t> at = element_at(args[1], args[0].as_array().size());
    if (!at) return std::move(args[0]);
    std::vector<Value> &items = args[0].mutable_array();
    items.erase(items.begin() + static_cast<ptrdiff_t>(*at));
    return std::move(args[0]);
  }
  if (args[0].is(ValueKind::Dict) && args[1].is(ValueKind::String)) {
    const uint64_t hash = key_hash(args[1]);
    if (!args[0].as_dict().find(args[1].as_text(), hash))
      return std::move(args[0]);
    args[0].mutable_dict().remove(args[1].as_text(), hash);
    return std::move(args[0]);
  }
  return Value();
}

// insert(array, index, value): before element `index`; len appends.
Value library_insert(LibraryArgs args, Interpreter &) {
  if (args.size() < 3 || !args[0].is(ValueKind::Array) || !is_numeric(args[1]))
    return Value();
  const size_t length = args[0].as_array().size();
  const int64_t at = to_integer(args[1]);
  if (at < 0 || static_cast<uint64_t>(at) > length) return Value();
  check_array_length(length + 1);
  std::vector<Value> &items = args[0].mutable_array();
  items.insert(items.begin() + at, std::move(args[2]));
  return std::move(args[0]);
}

Value library_has(LibraryArgs args, Interpreter &) {
  if (args.size() < 2) return Value();
  if (args[0].is(ValueKind::Array))
    return Value::boolean(element_at(args[1], args[0].as_array().size()).has_value());
  if (args[0].is(ValueKind::Dict)) {
    if (!args[1].is(ValueKind::String)) return Value::boolean(false);
    return Value::boolean(args[0].as_dict().find(args[1].as_text(), key_hash(args[1])));
  }
  return Value();
}

namespace {

// keys and values walk the table in the same order, so the two arrays pair
// up element by element.
enum class EntryPart { Key, Value };

Value entry_parts(LibraryArgs args, EntryPart part) {
  if (args.empty() || !args[0].is(ValueKind::Dict)) return Value();
  const Dict &dict = args[0].as_dict();
  std::vector<Value> out;
  out.reserve(dict.size());
  dict.for_each([&](const Dict::Entry &entry) {
    out.push_back(part == EntryPart::Key ? Value::string_of(entry.key) : entry.value);
  });
  return Value::array(std::move(out));
}

// Same kind and equal: arrays and dictionaries element by element, the
// rest as `==` says.
bool same_value(const Value &a, const Value &b) {
  if (a.kind() != b.kind()) return false;
  if (a.object() && a.object() == b.object()) return true;
  check_stack();
  switch (a.kind()) {
  case ValueKind::Null: return true;
  case ValueKind::Array: {
    const std::vector<Value> &x = a.as_array(), &y = b.as_array();
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
      if (!same_value(x[i], y[i])) return false;
    return true;
  }
  case ValueKind::Dict: {
    const Dict &y = b.as_dict();
    if (a.as_dict().size() != y.size()) return false;
    bool same = true;
    a.as_dict().for_each([&](const Dict::Entry &entry) {
      const Value *other = same ? y.find(entry.key, entry.hash) : nullptr;
      same = other && same_value(entry.value, *other);
    });
    return same;
  }
  default: {
    Value equal = apply_binary(a, TokenKind::Equal, b);
    return equal.is(ValueKind::Boolean) && equal.as_boolean();
  }
  }
}

int64_t character_index(std::string_view text, size_t byte) {
  int64_t count = 0;
  for (size_t i = 0; i < byte; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++count;
  return count;
}

} // namespace

Value library_keys(LibraryArgs args, Interpreter &) {
  return entry_parts(args, EntryPart::Key);
}

Value library_values(LibraryArgs args, Interpreter &) {
  return entry_parts(args, EntryPart::Value);
}

// index_of: the first equal element of an array, or the character index of
// a text within a text; -1 when absent.
Value library_index_of(LibraryArgs args, Interpreter &) {
  if (args.size() < 2) return Value();
  if (args[0].is(ValueKind::Array)) {
    const std::vector<Value> &items = args[0].as_array();
    for (size_t i = 0; i < items.size(); ++i)
      if (same_value(items[i], args[1])) return Value::number(static_cast<int64_t>(i));
    return Value::number(-1);
  }
  if (args[0].is(ValueKind::String) && args[1].is(ValueKind::String)) {
    const std::string &text = args[0].as_text();
    size_t found = text.find(args[1].as_text());
    if (found == std::string::npos) return Value::number(-1);
    return Value::number(character_index(text, found));
  }
  return Value();
}

namespace {

// What the default order sorts: all numbers or all texts; anything else
// has no order.
enum class SortKind { Integers, Numbers, Texts, None };

SortKind sort_kind(const std::vector<Value> &items) {
  bool integers = true, numbers = true, texts = true;
  for (const Value &v : items) {
    integers = integers && v.is(ValueKind::Number);
    numbers = numbers && is_numeric(v);
    texts = texts && v.is(ValueKind::String);
    if (!numbers && !texts) return SortKind::None;
  }
  if (integers) return SortKind::Integers;
  return numbers ? SortKind::Numbers : SortKind::Texts;
}

bool is_nan(const Value &v) {
  return v.is(ValueKind::Float) && std::isnan(v.as_float());
}

// Numbers by value with every NaN after them, so the order is total and
// std::stable_sort may rely on it.
bool number_before(const Value &a, const Value &b) {
  if (is_nan(a)) return false;
  if (is_nan(b)) return true;
  return library_order(a, b) == -1;
}

// A stable merge sort that stays within its array whatever `before`
// answers: a script's own order may contradict itself, and the library's
// sort must then give some order, not read past the end.
template <typename Before>
void merge_sort(std::vector<Value> &items, std::vector<Value> &buffer,
                size_t begin, size_t end, Before &before) {
  if (end - begin < 2) return;
  const size_t middle = begin + (end - begin) / 2;
  merge_sort(items, buffer, begin, middle, before);
  merge_sort(items, buffer, middle, end, before);
  // Already in order: nothing to merge.
  if (!before(items[middle], items[middle - 1])) return;
  size_t left = begin, right = middle, out = begin;
  while (left < middle && right < end) {
    // The right element goes first only when it is strictly before: equal
    // elements keep their order.
    if (before(items[right], items[left]))
      buffer[out++] = std::move(items[right++]);
    else
      buffer[out++] = std::move(items[left++]);
  }
  while (left < middle) buffer[out++] = std::move(items[left++]);
  while (right < end) buffer[out++] = std::move(items[right++]);
  std::move(buffer.begin() + static_cast<ptrdiff_t>(begin),
            buffer.begin() + static_cast<ptrdiff_t>(end),
            items.begin() + static_cast<ptrdiff_t>(begin));
}

// sort(array, before): the script's function decides; each comparison is
// a call of it with two elements.
Value sort_with(Value array, const FunctionObject &function, Interpreter &interp) {
  std::vector<Value> &items = array.mutable_array();
  std::vector<Value> buffer(items.size());
  auto before = [&](const Value &a, const Value &b) {
    std::array<Value, 2> pair{a, b};
    return is_truthy(call_user_function(interp, function, pair));
  };
  merge_sort(items, buffer, 0, items.size(), before);
  return array;
}

} // namespace

Value library_sort(LibraryArgs args, Interpreter &interp) {
  if (args.empty() || !args[0].is(ValueKind::Array)) return Value();
  if (args.size() >= 2) {
    if (!args[1].is(ValueKind::Function)) return Value();
    // Held here: the script's comparisons may rebind the name it came from.
    Value function = args[1];
    return sort_with(std::move(args[0]), function.as_function(), interp);
  }
  const SortKind kind = sort_kind(args[0].as_array());
  if (kind == SortKind::None) return Value();
  Value array = std::move(args[0]);
  std::vector<Value> &items = array.mutable_array();
  switch (kind) {
  case SortKind::Integers: {
    // Equal integers cannot be told apart, so any sort is stable here.
    std::vector<int64_t> numbers;
    numbers.reserve(items.size());
    for (const Value &v : items) numbers.push_back(v.as_number());
    std::sort(numbers.begin(), numbers.end());
    for (size_t i = 0; i < items.size(); ++i) items[i] = Value::number(numbers[i]);
    break;
  }
  case SortKind::Numbers:
    std::stable_sort(items.begin(), items.end(), number_before);
    break;
  case SortKind::Texts:
    std::stable_sort(items.begin(), items.end(), [](const Value &a, const Value &b) {
      return a.as_text() < b.as_text();
    });
    break;
  case SortKind::None:
    break;
  }
  return array;
}

// sublist(array, start, end): both bounds clamped to 0..len.
Value library_sublist(LibraryArgs args, Interpreter &) {
  if (args.size() < 3 || !args[0].is(ValueKind::Array) || !is_numeric(args[1]) ||
      !is_numeric(args[2]))
    return Value();
  const std::vector<Value> &items = args[0].as_array();
  const auto length = static_cast<int64_t>(items.size());
  const int64_t start = std::clamp<int64_t>(to_integer(args[1]), 0, length);
  const int64_t end = std::clamp<int64_t>(to_integer(args[2]), 0, length);
  if (end <= start) return Value::array({});
  if (start == 0 && end == length) return std::move(args[0]);
  return Value::array(std::vector<Value>(items.begin() + start, items.begin() + end));
}

// join(array, separator): the elements' textual forms, as print writes them.
Value library_join(LibraryArgs args, Interpreter &) {
  if (args.size() < 2 || !args[0].is(ValueKind::Array) ||
      !args[1].is(ValueKind::String))
    return Value();
  const std::string &separator = args[1].as_text();
  std::string out;
  bool first = true;
  for (const Value &item : args[0].as_array()) {
    if (!first) {
      check_text_length(out.size() + separator.size());
      out += separator;
    }
    first = false;
    if (item.is(ValueKind::String)) {
      check_text_length(out.size() + item.as_text().size());
      out += item.as_text();
    } else {
      append_text(out, item);
      check_text_length(out.size());
    }
  }
  return Value::string(std::move(out));
}

} // namespace tovik
