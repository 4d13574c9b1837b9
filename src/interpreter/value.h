// Runtime values.
//
// The language has no references: every copy behaves as a deep copy. Since
// nothing in the language mutates a value in place, payloads are immutable
// and shared behind a reference count, so copying any value is O(1). The
// one exception is a payload whose count is 1: its only holder may change
// it in place (`mutable_array`, `mutable_text`), which nobody can observe.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovik {

// The kinds held in the value itself come first, so that telling them from
// the shared ones (every copy and destruction does) is one comparison.
enum class ValueKind : uint8_t {
  Number,
  Float,
  Boolean,
  Color,
  Null,
  String, // the first kind with a shared payload
  Array,
  Dict,
  Function,
  BuiltinFunction,
  Rect,
  Circle,
  Triangle,
  Error,
};

struct RectShape {
  int32_t x = 0, y = 0;
  uint32_t w = 0, h = 0;
};
struct ColorShape {
  uint8_t r, g, b; // trivial: it lives in Value's union
};
struct CircleShape {
  int32_t x = 0, y = 0;
  uint32_t radius = 0;
};
struct TriangleShape {
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

// Header of every shared payload.
struct Object {
  uint32_t refcount = 1;
  ValueKind kind;
  // Facts a payload learns about itself, kept in the header's padding
  // (texts: see text_position.h). Cleared whenever the payload changes.
  mutable uint8_t hints = 0;
  explicit Object(ValueKind k) : kind(k) {}
};

class Value;
class Dict;

// A value on its way out of an evaluator. Being two plain words, it is
// returned in two registers, where a Value (which has a destructor) would
// go through memory. It carries the reference of the Value it was released
// from, so exactly one Value must adopt it.
struct ValueTransfer {
  uint64_t kind;
  uint64_t bits;
};

struct ArrayObject;
struct FunctionObject;

class Value {
public:
  Value() noexcept : kind_(ValueKind::Null), bits_(0) {}
  Value(const Value &other) noexcept : kind_(other.kind_), bits_(other.bits_) {
    if (is_shared(kind_)) ++payload()->refcount;
  }
  Value(Value &&other) noexcept : kind_(other.kind_), bits_(other.bits_) {
    other.kind_ = ValueKind::Null;
  }
  Value &operator=(const Value &other) noexcept {
    Value copy(other);
    swap(copy);
    return *this;
  }
  Value &operator=(Value &&other) noexcept {
    Value moved(std::move(other));
    swap(moved);
    return *this;
  }
  [[gnu::always_inline]] ~Value() {
    if (is_shared(kind_)) release(payload());
  }
  // For a value that owns no payload (a number, say): becomes `other`
  // without the release an assignment would check for.
  void replace_plain(Value &&other) noexcept {
    kind_ = other.kind_;
    bits_ = other.bits_;
    other.kind_ = ValueKind::Null;
  }
  void swap(Value &other) noexcept {
    std::swap(kind_, other.kind_);
    std::swap(bits_, other.bits_);
  }

  static Value number(int64_t n) {
    Value v(ValueKind::Number);
    v.bits_ = static_cast<uint64_t>(n);
    return v;
  }
  static Value real(double d) {
    Value v(ValueKind::Float);
    v.bits_ = std::bit_cast<uint64_t>(d);
    return v;
  }
  static Value boolean(bool b) {
    Value v(ValueKind::Boolean);
    v.bits_ = b ? 1 : 0;
    return v;
  }
  static Value null() { return Value(); }
  static Value string(std::string text);
  static Value string_of(std::string_view text); // copies the text once
  // As string_of, but the empty text and one-character ASCII texts share
  // one payload each: walking a text's characters allocates nothing.
  static Value short_text(std::string_view text);
  static Value error(std::string message);
  static Value builtin_function(std::string name);
  static Value array(std::vector<Value> items);
  static Value dict(Dict entries);
  static Value function(FunctionObject *function); // takes one reference
  static Value rect(RectShape r);
  static Value color(ColorShape c);
  static Value circle(CircleShape c);
  static Value triangle(TriangleShape t);

  static Value adopt(ValueTransfer t) noexcept {
    Value v(static_cast<ValueKind>(t.kind));
    v.bits_ = t.bits;
    return v;
  }
  ValueTransfer release() noexcept {
    ValueTransfer t{static_cast<uint64_t>(kind_), bits_};
    kind_ = ValueKind::Null;
    return t;
  }

  // The words of this value, its reference kept: for a callee that only
  // looks at it (see BorrowedValue).
  ValueTransfer peek() const noexcept {
    return {static_cast<uint64_t>(kind_), bits_};
  }

  ValueKind kind() const { return kind_; }
  bool is(ValueKind k) const { return kind_ == k; }
  bool is_null() const { return kind_ == ValueKind::Null; }

  int64_t as_number() const { return static_cast<int64_t>(bits_); }
  double as_float() const { return std::bit_cast<double>(bits_); }
  bool as_boolean() const { return bits_ != 0; }
  // The text of a String, the message of an Error, the name of a
  // BuiltinFunction.
  const std::string &as_text() const;
  const std::vector<Value> &as_array() const;
  const Dict &as_dict() const;
  const FunctionObject &as_function() const;
  const RectShape &as_rect() const;
  ColorShape as_color() const {
    ColorShape c;
    std::memcpy(&c, &bits_, sizeof c);
    return c;
  }
  const CircleShape &as_circle() const;
  const TriangleShape &as_triangle() const;


  // In-place access for the sole holder of a payload; a shared payload is
  // copied first, so other holders never see the change.
  std::vector<Value> &mutable_array();
  std::string &mutable_text();
  Dict &mutable_dict();
  // Appends `right` to this text, whose payload `holder` (a variable, say)
  // holds too: the holder lets go first, so that the payload is this
  // value's alone and grows where it lies. The length is checked before
  // the holder lets go, so a halt leaves it as it was.
  void append_text_of(Value &holder, const Value &right);

  // The payload object, or null for inline variants (identity checks).
  const Object *object() const {
    return is_shared(kind_) ? payload() : nullptr;
  }

  static constexpr bool is_shared(ValueKind k) {
    return k >= ValueKind::String;
  }

  // Part of releasing an array whose count reached zero: its elements let
  // go of their payloads, which are queued for release in turn.
  static void release_items(ArrayObject *array);

private:
  explicit Value(ValueKind k) : kind_(k), bits_(0) {}
  Value(ValueKind k, Object *o) : kind_(k) { bits_ = reinterpret_cast<uintptr_t>(o); }
  static void release(Object *object) {
    if (--object->refcount == 0) destroy(object);
  }
  static void destroy(Object *object);

  ValueKind kind_;
  // The integer, the float's bits, the payload's address or the color.
  uint64_t bits_;
  Object *payload() const { return reinterpret_cast<Object *>(bits_); }
};

// A value seen through the words of one that someone else holds: passing
// words keeps the holder's value in registers. Owns no reference, however
// its user ends.
class BorrowedValue {
public:
  explicit BorrowedValue(ValueTransfer words) noexcept
      : value_(Value::adopt(words)) {}
  ~BorrowedValue() { value_.release(); }
  BorrowedValue(const BorrowedValue &) = delete;
  BorrowedValue &operator=(const BorrowedValue &) = delete;
  const Value &get() const { return value_; }

private:
  Value value_;
};

inline bool is_truthy(const Value &value) {
  switch (value.kind()) {
  case ValueKind::Number: return value.as_number() != 0;
  case ValueKind::Float: return value.as_float() != 0.0;
  case ValueKind::Boolean: return value.as_boolean();
  case ValueKind::Null:
  case ValueKind::Error: return false;
  default: return true;
  }
}

// What print writes: `[1, a, []]`, `{k: v}`, `3`, `2.5`, `null`.
std::string to_text(const Value &value);
void append_text(std::string &out, const Value &value);

// What trace lines show: `Number(5)`, `Float(3.0)`, `String("a")`,
// `Array([Number(1), Null])`, `Rect { x: 1, y: 2, w: 3, h: 4 }`.
std::string to_debug(const Value &value);
void append_debug(std::string &out, const Value &value);

// "number", "float", "string", ... as `typeof` names them.
std::string_view type_name(const Value &value);

} // namespace tovik

// Inline accessors need the payload types.
#include "interpreter/value_objects.h"
