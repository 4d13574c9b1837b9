// An allocator for tables that grow large and are let go while other
// memory stays in use around them.
//
// A waiting module's slot table is freed while the module it uses loads,
// and each table of a chain of modules is larger than the one before (it is
// indexed by every name the process has seen). From the general heap those
// freed blocks sit between live ones and are never reused, so a chain's
// memory grows with the square of its length. Large blocks here come
// straight from the system and go back to it when freed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace tovik {

// The system's pages for `bytes` bytes at least, or null.
void *allocate_pages(size_t bytes);
void free_pages(void *block, size_t bytes);

// Blocks from this size on are whole pages of their own.
inline constexpr size_t kPageAllocationBytes = 64 * 1024;

template <typename T> struct PageAllocator {
  using value_type = T;
  PageAllocator() = default;
  template <typename U> PageAllocator(const PageAllocator<U> &) {}

  T *allocate(size_t n) {
    if (n > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
    size_t bytes = n * sizeof(T);
#ifndef TOVIK_PLAIN_ALLOCATION
    if (bytes >= kPageAllocationBytes) {
      if (void *block = allocate_pages(bytes)) return static_cast<T *>(block);
      throw std::bad_alloc();
    }
#endif
    return static_cast<T *>(::operator new(bytes, std::align_val_t{alignof(T)}));
  }

  void deallocate(T *block, size_t n) {
#ifndef TOVIK_PLAIN_ALLOCATION
    if (n * sizeof(T) >= kPageAllocationBytes)
      return free_pages(block, n * sizeof(T));
#else
    (void)n;
#endif
    ::operator delete(block, std::align_val_t{alignof(T)});
  }

  template <typename U> bool operator==(const PageAllocator<U> &) const {
    return true;
  }
};

} // namespace tovik
