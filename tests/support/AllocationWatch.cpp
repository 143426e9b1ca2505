#include "tests/support/AllocationWatch.h"

#include <atomic>
#include <cstdlib>
#include <new>

// The replacement operators live alone in this file: where the compiler can
// see both malloc inside operator new and free inside operator delete, it
// mistakes every new/delete pair of the same file for a mismatch.

namespace {
std::atomic<bool> gWatching{false};
std::atomic<std::size_t> gLargest{0};
constexpr std::size_t kRefusedAbove = std::size_t{256} << 20;
}  // namespace

namespace qv::test {

void StartAllocationWatch() {
  gLargest = 0;
  gWatching = true;
}

std::size_t StopAllocationWatch() {
  gWatching = false;
  return gLargest.load();
}

}  // namespace qv::test

void* operator new(std::size_t size) {
  if (gWatching.load(std::memory_order_relaxed)) {
    std::size_t largest = gLargest.load(std::memory_order_relaxed);
    while (size > largest && !gLargest.compare_exchange_weak(largest, size)) {
    }
    if (size > kRefusedAbove) throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

// The library's nothrow forms (std::stable_sort's buffer) must come from the
// same heap as the plain ones, or a sanitizer build sees new and free mismatch.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
