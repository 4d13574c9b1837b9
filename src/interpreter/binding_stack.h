// The stack of local bindings of the calls in progress.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <new>
#include <span>
#include <utility>

#include "interpreter/value.h"
#include "lexer/symbol.h"

namespace tovik {

// Padded to 32 bytes, so indexing the stack is a shift.
struct alignas(32) LocalBinding {
  Symbol symbol;
  int32_t previous; // the binding this one shadows, or -1
  Value *previous_current; // the slot's `current` when this one was linked
  Value value;
  LocalBinding(Symbol s, int32_t p, Value *pc, Value v)
      : symbol(s), previous(p), previous_current(pc), value(std::move(v)) {}
};

// A vector cut down to what calls need. Its size is kept as a count rather
// than derived from two pointers, since every call reads it several times,
// and a scope is closed by one loop that unlinks and lets go together.
// Growing moves the entries: whoever holds pointers into them relinks.
class BindingStack {
public:
  BindingStack() = default;
  ~BindingStack() {
    truncate(0);
    ::operator delete(data_, std::align_val_t{alignof(LocalBinding)});
  }
  BindingStack(const BindingStack &) = delete;
  BindingStack &operator=(const BindingStack &) = delete;

  uint32_t size() const { return size_; }
  uint32_t room() const { return capacity_ - size_; }
  LocalBinding *data() { return data_; }
  LocalBinding &operator[](size_t i) { return data_[i]; }
  LocalBinding *begin() { return data_; }
  LocalBinding *end() { return data_ + size_; }
  std::span<LocalBinding> from(size_t first) {
    return {data_ + first, size_ - first};
  }

  // The caller has made room (see reserve).
  LocalBinding &push(Symbol s, int32_t previous, Value *previous_current,
                     Value v) {
    LocalBinding *b = new (data_ + size_)
        LocalBinding(s, previous, previous_current, std::move(v));
    ++size_;
    return *b;
  }

  // Drops the entries from `new_size` on, innermost first.
  void truncate(size_t new_size) {
    while (size_ > new_size) data_[--size_].~LocalBinding();
  }

  // Forgets the entries from `new_size` on without destroying them: the
  // caller destroys each, in the loop it walks them with anyway.
  void truncate_unchecked(uint32_t new_size) { size_ = new_size; }

  void reserve(size_t wanted) {
    if (wanted <= capacity_) return;
    if (wanted > UINT32_MAX / 2) throw std::bad_alloc();
    auto *fresh = static_cast<LocalBinding *>(::operator new(
        wanted * sizeof(LocalBinding), std::align_val_t{alignof(LocalBinding)}));
    for (uint32_t i = 0; i < size_; ++i) {
      new (fresh + i) LocalBinding(std::move(data_[i]));
      data_[i].~LocalBinding();
    }
    ::operator delete(data_, std::align_val_t{alignof(LocalBinding)});
    data_ = fresh;
    capacity_ = static_cast<uint32_t>(wanted);
  }

private:
  LocalBinding *data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

} // namespace tovik
