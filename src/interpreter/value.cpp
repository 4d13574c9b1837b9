#include "interpreter/value.h"

#include <algorithm>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

#include "interpreter/dict.h"
#include "interpreter/exec_tree.h"
#include "interpreter/function.h"
#include "interpreter/text_position.h"
#include "lexer/debug_text.h"
#include "support/halt.h"
#include "support/hash.h"
#include "support/limits.h"

namespace tovik {

namespace {

// Freed text blocks, linked through their first word. Bounded, so a burst
// of texts does not pin its memory for the rest of the run. Sanitizer
// builds allocate every block afresh, so that a use after free is caught.
#ifndef TOVIK_PLAIN_ALLOCATION
thread_local void *free_text_blocks = nullptr;
thread_local uint32_t free_text_block_count = 0;
constexpr uint32_t kMaxFreeTextBlocks = 1u << 16;
#endif

} // namespace

void *TextObject::operator new(size_t size) {
#ifndef TOVIK_PLAIN_ALLOCATION
  if (void *block = free_text_blocks) {
    free_text_blocks = *static_cast<void **>(block);
    --free_text_block_count;
    return block;
  }
#endif
  return ::operator new(size);
}

void TextObject::operator delete(void *block) {
#ifndef TOVIK_PLAIN_ALLOCATION
  if (free_text_block_count < kMaxFreeTextBlocks) {
    *static_cast<void **>(block) = free_text_blocks;
    free_text_blocks = block;
    ++free_text_block_count;
    return;
  }
#endif
  ::operator delete(block);
}

Value Value::string(std::string text) {
  return Value(ValueKind::String,
               new TextObject(ValueKind::String, std::move(text)));
}

Value Value::string_of(std::string_view text) {
  return Value(ValueKind::String, new TextObject(ValueKind::String, text));
}

Value Value::short_text(std::string_view text) {
  if (text.size() > 1 || (text.size() == 1 && static_cast<unsigned char>(text[0]) >= 0x80))
    return string_of(text);
  // One payload per ASCII character (and one empty text), made on first use
  // and held for the rest of the run.
  thread_local Object *shared[129] = {};
  const size_t which = text.empty() ? 128 : static_cast<unsigned char>(text[0]);
  Object *&object = shared[which];
  if (!object) object = new TextObject(ValueKind::String, text);
  ++object->refcount;
  return Value(ValueKind::String, object);
}

Value Value::error(std::string message) {
  return Value(ValueKind::Error,
               new TextObject(ValueKind::Error, std::move(message)));
}

Value Value::builtin_function(std::string name) {
  return Value(ValueKind::BuiltinFunction,
               new TextObject(ValueKind::BuiltinFunction, std::move(name)));
}

Value Value::array(std::vector<Value> items) {
  return Value(ValueKind::Array, new ArrayObject(std::move(items)));
}

Value Value::dict(Dict entries) {
  return Value(ValueKind::Dict, new DictObject(std::move(entries)));
}

Value Value::function(FunctionObject *function) {
  return Value(ValueKind::Function, function);
}

Value Value::rect(RectShape r) {
  return Value(ValueKind::Rect, new ShapeObject<RectShape>(ValueKind::Rect, r));
}

Value Value::color(ColorShape c) {
  Value v(ValueKind::Color);
  std::memcpy(&v.bits_, &c, sizeof c);
  return v;
}

Value Value::circle(CircleShape c) {
  return Value(ValueKind::Circle,
               new ShapeObject<CircleShape>(ValueKind::Circle, c));
}

Value Value::triangle(TriangleShape t) {
  return Value(ValueKind::Triangle,
               new ShapeObject<TriangleShape>(ValueKind::Triangle, t));
}





const RectShape &Value::as_rect() const {
  return static_cast<ShapeObject<RectShape> *>(payload())->shape;
}

const CircleShape &Value::as_circle() const {
  return static_cast<ShapeObject<CircleShape> *>(payload())->shape;
}

const TriangleShape &Value::as_triangle() const {
  return static_cast<ShapeObject<TriangleShape> *>(payload())->shape;
}


std::vector<Value> &Value::mutable_array() {
  auto *a = static_cast<ArrayObject *>(payload());
  if (a->refcount != 1) {
    Value copy = Value::array(a->items);
    swap(copy);
    a = static_cast<ArrayObject *>(payload());
  }
  return a->items;
}

Dict &Value::mutable_dict() {
  auto *d = static_cast<DictObject *>(payload());
  if (d->refcount != 1) {
    Value copy = Value::dict(d->entries);
    swap(copy);
    d = static_cast<DictObject *>(payload());
  }
  return d->entries;
}

std::string &Value::mutable_text() {
  auto *t = static_cast<TextObject *>(payload());
  if (t->refcount != 1) {
    Value copy = Value::string(t->text);
    swap(copy);
    t = static_cast<TextObject *>(payload());
  } else {
    text_changes(*t);
  }
  return t->text;
}

void Value::append_text_of(Value &holder, const Value &right) {
  check_text_length(as_text().size() + right.as_text().size());
  holder = Value();
  mutable_text() += right.as_text();
}

// Releasing a value nested a million levels deep must not recurse a million
// times: objects whose count drops to zero are queued and destroyed by one
// loop, and an array hands its elements' payloads to that same queue.
//
// Releasing happens while an out-of-memory error unwinds, from destructors,
// so it must not fail: when the queue cannot grow, the object is destroyed
// at once by recursion while the native stack has room, and is left
// unreleased past that (memory is short and the run is ending anyway).
namespace {

// The queue keeps its first entries in place and takes a heap block only
// for long chains, returned once the chain is released. It has no
// destructor on purpose: the C library registers a thread-local with one on
// its first use, which allocates, and the first release of a run may come
// just as memory has run out.
struct ReleaseQueue {
  static constexpr size_t kInPlace = 64;
  Object *in_place[kInPlace] = {};
  Object **heap = nullptr; // when more than fit in place
  size_t size = 0;
  size_t capacity = kInPlace;

  Object **items() { return heap != nullptr ? heap : in_place; }
};

constinit thread_local ReleaseQueue pending;

bool queue_release(Object *object) noexcept {
  if (pending.size == pending.capacity) {
    size_t grown = pending.capacity * 2;
    void *block = std::realloc(pending.heap, grown * sizeof(Object *));
    if (block == nullptr) return false;
    if (pending.heap == nullptr)
      std::memcpy(block, pending.in_place, sizeof pending.in_place);
    pending.heap = static_cast<Object **>(block);
    pending.capacity = grown;
  }
  pending.items()[pending.size++] = object;
  return true;
}

void destroy_one(Object *o);

void enqueue_release(Object *object) {
  if (queue_release(object)) return;
  auto frame = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
  if (frame > stack_floor) destroy_one(object);
}

} // namespace

void Value::destroy(Object *object) {
  // Text holds no values, so it never starts a chain: free it at once.
  if (object->kind == ValueKind::String) {
    delete static_cast<TextObject *>(object);
    return;
  }
  static thread_local bool draining = false;
  if (draining) {
    enqueue_release(object);
    return;
  }
  draining = true;
  destroy_one(object);
  while (pending.size != 0) destroy_one(pending.items()[--pending.size]);
  if (pending.heap != nullptr) {
    std::free(pending.heap);
    pending.heap = nullptr;
    pending.capacity = ReleaseQueue::kInPlace;
  }
  draining = false;
}

void Value::release_items(ArrayObject *a) {
  for (Value &item : a->items) {
    if (is_shared(item.kind_)) {
      Object *child = item.payload();
      item.kind_ = ValueKind::Null;
      if (--child->refcount != 0) continue;
      // A text holds no values: freeing it here needs no queue.
      if (child->kind == ValueKind::String)
        delete static_cast<TextObject *>(child);
      else
        enqueue_release(child);
    }
  }
}

namespace {

void destroy_one(Object *o) {
  switch (o->kind) {
  case ValueKind::String:
  case ValueKind::Error:
  case ValueKind::BuiltinFunction:
    delete static_cast<TextObject *>(o);
    break;
  case ValueKind::Array: {
    auto *a = static_cast<ArrayObject *>(o);
    Value::release_items(a);
    delete a;
    break;
  }
  case ValueKind::Dict:
    delete static_cast<DictObject *>(o);
    break;
  case ValueKind::Function:
    delete static_cast<FunctionObject *>(o);
    break;
  case ValueKind::Rect:
    delete static_cast<ShapeObject<RectShape> *>(o);
    break;
  case ValueKind::Circle:
    delete static_cast<ShapeObject<CircleShape> *>(o);
    break;
  case ValueKind::Triangle:
    delete static_cast<ShapeObject<TriangleShape> *>(o);
    break;
  default:
    break;
  }
}

} // namespace


std::string_view type_name(const Value &value) {
  switch (value.kind()) {
  case ValueKind::Number: return "number";
  case ValueKind::Float: return "float";
  case ValueKind::String: return "string";
  case ValueKind::Boolean: return "boolean";
  case ValueKind::Array: return "array";
  case ValueKind::Dict: return "dict";
  case ValueKind::Null: return "null";
  default: return "unknown";
  }
}

namespace {

void append_integer(std::string &out, int64_t n) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

void append_unsigned(std::string &out, uint64_t n) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, n);
  out.append(buf, r.ptr);
}

template <typename... Ints>
void append_list(std::string &out, const char *open, Ints... fields) {
  out += open;
  bool first = true;
  auto one = [&](auto field) {
    if (!first) out += ", ";
    first = false;
    if constexpr (std::is_signed_v<decltype(field)>)
      append_integer(out, field);
    else
      append_unsigned(out, field);
  };
  (one(fields), ...);
  out += ')';
}

// Texts appended whole are checked first: the textual form of a value that
// shares its payloads can be far larger than the value itself.
void append_bounded(std::string &out, std::string_view text) {
  check_text_length(out.size() + text.size());
  out += text;
}

void append_quoted_bounded(std::string &out, std::string_view text) {
  check_text_length(out.size() + text.size());
  append_quoted(out, text);
  check_text_length(out.size());
}

} // namespace

void append_text(std::string &out, const Value &value) {
  switch (value.kind()) {
  case ValueKind::Number:
    append_integer(out, value.as_number());
    return;
  case ValueKind::Float:
    append_plain_double(out, value.as_float());
    return;
  case ValueKind::String:
    append_bounded(out, value.as_text());
    return;
  case ValueKind::Boolean:
    out += value.as_boolean() ? "true" : "false";
    return;
  case ValueKind::Array: {
    check_stack();
    out += '[';
    bool first = true;
    for (const Value &item : value.as_array()) {
      if (!first) out += ", ";
      first = false;
      append_text(out, item);
      check_text_length(out.size());
    }
    out += ']';
    return;
  }
  case ValueKind::Dict: {
    check_stack();
    out += '{';
    bool first = true;
    value.as_dict().for_each([&](const Dict::Entry &e) {
      if (!first) out += ", ";
      first = false;
      append_bounded(out, e.key);
      out += ": ";
      append_text(out, e.value);
      check_text_length(out.size());
    });
    out += '}';
    return;
  }
  case ValueKind::Function:
    out += "<function>";
    return;
  case ValueKind::BuiltinFunction:
    out += "<builtin: ";
    append_bounded(out, value.as_text());
    out += '>';
    return;
  case ValueKind::Rect: {
    const RectShape &r = value.as_rect();
    append_list(out, "Rect(", r.x, r.y, r.w, r.h);
    return;
  }
  case ValueKind::Color: {
    ColorShape c = value.as_color();
    append_list(out, "Color(", unsigned(c.r), unsigned(c.g), unsigned(c.b));
    return;
  }
  case ValueKind::Circle: {
    const CircleShape &c = value.as_circle();
    append_list(out, "Circle(", c.x, c.y, c.radius);
    return;
  }
  case ValueKind::Triangle: {
    const TriangleShape &t = value.as_triangle();
    append_list(out, "Triangle(", t.x1, t.y1, t.x2, t.y2, t.x3, t.y3);
    return;
  }
  case ValueKind::Null:
    out += "null";
    return;
  case ValueKind::Error:
    out += "Error: ";
    append_bounded(out, value.as_text());
    return;
  }
}

std::string to_text(const Value &value) {
  std::string out;
  append_text(out, value);
  return out;
}

namespace {

void append_field(std::string &out, const char *name, int64_t v, bool first) {
  if (!first) out += ", ";
  out += name;
  out += ": ";
  append_integer(out, v);
}

} // namespace

void append_debug(std::string &out, const Value &value) {
  switch (value.kind()) {
  case ValueKind::Number:
    out += "Number(";
    append_integer(out, value.as_number());
    out += ')';
    return;
  case ValueKind::Float:
    out += "Float(";
    append_debug_double(out, value.as_float());
    out += ')';
    return;
  case ValueKind::String:
    out += "String(";
    append_quoted_bounded(out, value.as_text());
    out += ')';
    return;
  case ValueKind::Boolean:
    out += value.as_boolean() ? "Boolean(true)" : "Boolean(false)";
    return;
  case ValueKind::Array: {
    check_stack();
    out += "Array([";
    bool first = true;
    for (const Value &item : value.as_array()) {
      if (!first) out += ", ";
      first = false;
      append_debug(out, item);
      check_text_length(out.size());
    }
    out += "])";
    return;
  }
  case ValueKind::Dict: {
    check_stack();
    out += "Dict({";
    bool first = true;
    value.as_dict().for_each([&](const Dict::Entry &e) {
      if (!first) out += ", ";
      first = false;
      append_quoted_bounded(out, e.key);
      out += ": ";
      append_debug(out, e.value);
      check_text_length(out.size());
    });
    out += "})";
    return;
  }
  case ValueKind::Function: {
    const FunctionObject &f = value.as_function();
    out += "Function { params: [";
    bool first = true;
    for (const std::string &p : f.params) {
      if (!first) out += ", ";
      first = false;
      append_quoted(out, p);
    }
    out += "], body: ";
    append_stmts(out, *f.source);
    out += " }";
    return;
  }
  case ValueKind::BuiltinFunction:
    out += "BuiltinFunction { name: ";
    append_quoted_bounded(out, value.as_text());
    out += " }";
    return;
  case ValueKind::Rect: {
    const RectShape &r = value.as_rect();
    out += "Rect { ";
    append_field(out, "x", r.x, true);
    append_field(out, "y", r.y, false);
    append_field(out, "w", r.w, false);
    append_field(out, "h", r.h, false);
    out += " }";
    return;
  }
  case ValueKind::Color: {
    ColorShape c = value.as_color();
    out += "Color { ";
    append_field(out, "r", c.r, true);
    append_field(out, "g", c.g, false);
    append_field(out, "b", c.b, false);
    out += " }";
    return;
  }
  case ValueKind::Circle: {
    const CircleShape &c = value.as_circle();
    out += "Circle { ";
    append_field(out, "x", c.x, true);
    append_field(out, "y", c.y, false);
    append_field(out, "radius", c.radius, false);
    out += " }";
    return;
  }
  case ValueKind::Triangle: {
    const TriangleShape &t = value.as_triangle();
    out += "Triangle { ";
    append_field(out, "x1", t.x1, true);
    append_field(out, "y1", t.y1, false);
    append_field(out, "x2", t.x2, false);
    append_field(out, "y2", t.y2, false);
    append_field(out, "x3", t.x3, false);
    append_field(out, "y3", t.y3, false);
    out += " }";
    return;
  }
  case ValueKind::Null:
    out += "Null";
    return;
  case ValueKind::Error:
    out += "Error(";
    append_quoted_bounded(out, value.as_text());
    out += ')';
    return;
  }
}

std::string to_debug(const Value &value) {
  std::string out;
  append_debug(out, value);
  return out;
}

Value make_function(const std::vector<std::string> &params,
                    std::shared_ptr<const std::vector<Stmt>> source,
                    std::vector<ExecStmt> body) {
  auto *f = new FunctionObject();
  // Owned from here on, so a halt while it is filled in lets it go.
  Value made = Value::function(f);
  f->params = params;
  for (const std::string &p : params) {
    f->param_symbols.push_back(intern(p));
    f->last_param_symbol = std::max(f->last_param_symbol, f->param_symbols.back());
  }
  f->body = std::move(body);
  f->source = std::move(source);
  f->param_count = static_cast<uint32_t>(f->param_symbols.size());
  f->pass_through = find_pass_through(f->param_symbols, f->body);
  if (!f->body.empty() && f->body.back().kind == StmtKind::Return &&
      f->body.back().has_expr)
    f->ends_in_return = true;
  return made;
}

} // namespace tovik
