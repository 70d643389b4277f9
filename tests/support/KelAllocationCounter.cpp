#include "KelAllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
bool counting = false;
long allocations = 0;
}  // namespace

namespace keltest {
void StartCountingAllocations() {
  allocations = 0;
  counting = true;
}
long StopCountingAllocations() {
  counting = false;
  return allocations;
}
}  // namespace keltest

// Only the single-object forms are replaced: the library's array forms call
// them, and a sanitizer runtime keeps its own array forms paired.
void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
