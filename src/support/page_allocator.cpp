#include "support/page_allocator.h"

#include <sys/mman.h>

namespace tovik {

void *allocate_pages(size_t bytes) {
  void *block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return block == MAP_FAILED ? nullptr : block;
}

void free_pages(void *block, size_t bytes) { munmap(block, bytes); }

} // namespace tovik
