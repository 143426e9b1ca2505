// The program's operator new and delete. Small blocks come from the C
// runtime's heap as before. Large ones (pictures: a decoded item picture is
// 64 KB, a skin 360 KB, the dock's bar up to a few MB) are pages of their own,
// given back to the system when freed: in the heap they would stay committed
// and in memory once freed, so a start or a magnified dock left the program
// hundreds of KB larger for the rest of the day.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/win32/Win32Api.h"

namespace {

constexpr std::size_t kLargeBlock = 64 * 1024;

// Before every block: which side it came from. Sixteen bytes keep the block
// as aligned as the side gave it.
struct BlockHeader {
  std::size_t paged;
};
constexpr std::size_t kHeaderBytes = 16;
static_assert(sizeof(BlockHeader) <= kHeaderBytes);

void* Allocate(std::size_t size) noexcept {
  if (size > SIZE_MAX - kHeaderBytes) return nullptr;
  const std::size_t total = size + kHeaderBytes;
  const bool paged = size >= kLargeBlock;
  void* raw = paged ? ::VirtualAlloc(nullptr, total, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE) : std::malloc(total);
  if (!raw) return nullptr;
  static_cast<BlockHeader*>(raw)->paged = paged ? 1 : 0;
  return static_cast<unsigned char*>(raw) + kHeaderBytes;
}

void Release(void* block) noexcept {
  if (!block) return;
  void* raw = static_cast<unsigned char*>(block) - kHeaderBytes;
  if (static_cast<BlockHeader*>(raw)->paged) {
    ::VirtualFree(raw, 0, MEM_RELEASE);
  } else {
    std::free(raw);
  }
}

void* AllocateOrThrow(std::size_t size) {
  for (;;) {
    if (void* block = Allocate(size == 0 ? 1 : size)) return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size == 0 ? 1 : size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
