#include <algorithm>

#include <unicode/utf8.h>

#include "interpreter/builtins/builtins.h"
#include "interpreter/text_position.h"
#include "support/limits.h"
#include "support/unicode.h"

namespace tovik {

namespace {

// The default (root locale) full case mappings: one character may become
// several (ß to SS), and lower-casing applies the final-sigma rule.
Value map_text_case(const std::string &text, CaseMapping mapping) {
  // ASCII letters map to ASCII letters alone under the default full case
  // mapping, so pure-ASCII text is mapped in its copy.
  Value copy = Value::string_of(text);
  const char from = mapping == CaseMapping::Upper ? 'a' : 'A';
  const int shift = mapping == CaseMapping::Upper ? -32 : 32;
  bool ascii = true;
  for (char &c : copy.mutable_text()) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      ascii = false;
      break;
    }
    if (static_cast<unsigned char>(byte - from) < 26)
      c = static_cast<char>(c + shift);
  }
  if (ascii) return copy;
  std::string mapped;
  if (!map_case(text, mapping, mapped)) out_of_memory();
  check_text_length(mapped.size());
  return Value::string(std::move(mapped));
}

// Byte offset just past the next character; an ill-formed byte counts as
// one character, so a walk always makes progress.
size_t next_character(std::string_view text, size_t at) {
  const auto *s = reinterpret_cast<const uint8_t *>(text.data());
  int64_t i = static_cast<int64_t>(at);
  const int64_t length = static_cast<int64_t>(text.size());
  U8_FWD_1(s, i, length);
  return static_cast<size_t>(i);
}

// How many pieces split makes of `text`.
// A value's textual form: a text is read where it is, anything else is
// written into `storage`.
std::string_view text_view(const Value &value, std::string &storage) {
  if (value.is(ValueKind::String)) return value.as_text();
  return storage = to_text(value);
}

size_t count_pieces(std::string_view text, std::string_view separator) {
  size_t count = 1;
  if (separator.empty()) {
    for (size_t at = 0; at < text.size(); at = next_character(text, at))
      ++count;
    return count + 1;
  }
  for (size_t at = text.find(separator); at != std::string_view::npos;
       at = text.find(separator, at + separator.size()))
    ++count;
  return count;
}

} // namespace

Value builtin_upper(Args args, GraphicsContext &) {
  if (args.empty() || !args[0].is(ValueKind::String)) return Value();
  return map_text_case(args[0].as_text(), CaseMapping::Upper);
}

Value builtin_lower(Args args, GraphicsContext &) {
  if (args.empty() || !args[0].is(ValueKind::String)) return Value();
  return map_text_case(args[0].as_text(), CaseMapping::Lower);
}

// slice: characters start..end. Both bounds become unsigned counts, so a
// negative start skips everything and an end below start takes the rest.
Value builtin_slice(Args args, GraphicsContext &) {
  if (args.size() < 3) return Value();
  if (!is_numeric(args[1]) || !is_numeric(args[2])) return Value();
  if (!args[0].is(ValueKind::String)) return Value();
  const uint64_t start = static_cast<uint64_t>(to_integer(args[1]));
  const uint64_t end = static_cast<uint64_t>(to_integer(args[2]));
  const uint64_t take = end - start;

  const auto &object = *static_cast<const TextObject *>(args[0].object());
  const ByteRange range = character_range(object, start, take);
  return Value::short_text(std::string_view(object.text)
                               .substr(range.begin, range.end - range.begin));
}

// split: the pieces of the text between occurrences of the separator, empty
// pieces included. The empty separator matches at every character boundary,
// both ends included.
Value builtin_split(Args args, GraphicsContext &) {
  if (args.size() < 2) return Value();
  std::string text_form, separator_form;
  const std::string_view text = text_view(args[0], text_form);
  const std::string_view separator = text_view(args[1], separator_form);
  // Every piece costs an allocation of its own, so the count is checked
  // before the first one is made.
  const size_t count = count_pieces(text, separator);
  check_array_length(count);
  std::vector<Value> pieces;
  pieces.reserve(count);
  if (separator.empty()) {
    pieces.push_back(Value::short_text({}));
    for (size_t at = 0; at < text.size();) {
      size_t next = next_character(text, at);
      pieces.push_back(Value::short_text(text.substr(at, next - at)));
      at = next;
    }
    pieces.push_back(Value::short_text({}));
    return Value::array(std::move(pieces));
  }
  size_t from = 0;
  for (;;) {
    size_t found = text.find(separator, from);
    if (found == std::string::npos) break;
    pieces.push_back(Value::string_of(text.substr(from, found - from)));
    from = found + separator.size();
  }
  pieces.push_back(Value::string_of(text.substr(from)));
  return Value::array(std::move(pieces));
}

// concat: the textual forms of all arguments run together. A first argument
// that is text held by nobody else is extended in place (`s = concat(s, x)`).
Value builtin_concat(Args args, GraphicsContext &) {
  if (!args.empty() && args[0].is(ValueKind::String)) {
    // Texts are checked before the first argument is taken over, so that a
    // halt leaves it, and a variable handed over with it, untouched.
    size_t length = args[0].as_text().size();
    for (const Value &arg : args.subspan(1))
      if (arg.is(ValueKind::String))
        check_text_length(length += arg.as_text().size());
    Value out = std::move(args[0]);
    std::string &text = out.mutable_text();
    for (const Value &arg : args.subspan(1)) append_text(text, arg);
    return out;
  }
  std::string out;
  for (const Value &arg : args) append_text(out, arg);
  return Value::string(std::move(out));
}

// contains: a byte substring test on the textual forms, so it also answers
// for numbers and arrays as they print.
namespace {

[[gnu::noinline]] Value contains_in_textual_forms(const Value &haystack,
                                                  const Value &wanted) {
  std::string text_form, needle_form;
  std::string_view text = text_view(haystack, text_form);
  std::string_view needle = text_view(wanted, needle_form);
  return Value::boolean(text.find(needle) != std::string_view::npos);
}

} // namespace

Value builtin_contains(Args args, GraphicsContext &) {
  if (args.size() < 2) return Value();
  // Texts are searched where they are; other values through their text.
  if (!args[0].is(ValueKind::String) || !args[1].is(ValueKind::String))
    return contains_in_textual_forms(args[0], args[1]);
  std::string_view text = args[0].as_text(), needle = args[1].as_text();
  // Testing for one character (`contains(vowels, c)`) is a byte search.
  if (needle.size() == 1)
    return Value::boolean(text.find(needle[0]) != std::string_view::npos);
  return Value::boolean(text.find(needle) != std::string_view::npos);
}

// push appends in place when the argument is the array's only holder (the
// caller hands over its reference for `xs = push(xs, v)`); a shared array is
// copied first, so the caller's variable never changes.
Value builtin_push(Args args, GraphicsContext &) {
  if (args.size() < 2 || !args[0].is(ValueKind::Array)) return Value();
  check_array_length(args[0].as_array().size() + 1);
  Value array = std::move(args[0]);
  array.mutable_array().push_back(std::move(args[1]));
  return array;
}

// pop: the last element; the argument keeps it.
Value builtin_pop(Args args, GraphicsContext &) {
  if (args.empty() || !args[0].is(ValueKind::Array)) return Value();
  const std::vector<Value> &items = args[0].as_array();
  if (items.empty()) return Value();
  return items.back();
}

Value builtin_reverse(Args args, GraphicsContext &) {
  if (args.empty() || !args[0].is(ValueKind::Array)) return Value();
  Value array = std::move(args[0]);
  std::vector<Value> &items = array.mutable_array();
  std::reverse(items.begin(), items.end());
  return array;
}

} // namespace tovik
