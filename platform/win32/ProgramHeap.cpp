// The program's operator new and delete. Small blocks come from the C
// runtime's heap as before. Large ones (pictures: a decoded item picture is
// 64 KB, a skin 360 KB, the dock's bar up to a few MB) are pages of their own:
// in the heap they would stay committed and in memory once freed, so a start
// or a magnified dock left the program hundreds of KB larger for the rest of
// the day. A few freed large blocks are kept for the next ones of their size
// (a magnified dock draws its bar anew at every move of the pointer) until
// the program trims its memory, which gives them back.

#include "platform/win32/ProgramHeap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "platform/win32/Win32Api.h"

namespace {

constexpr std::size_t kLargeBlock = 64 * 1024;
constexpr std::size_t kPage = 4096;
constexpr std::size_t kKeptBlocks = 8;

// Before every block: the bytes of pages it has, 0 for a heap block. Sixteen
// bytes keep the block as aligned as its side gave it.
constexpr std::size_t kHeaderBytes = 16;

struct KeptBlock {
  void* raw;
  std::size_t bytes;
};

SRWLOCK keptLock = SRWLOCK_INIT;
KeptBlock kept[kKeptBlocks];
std::size_t keptCount = 0;

// A kept block of at least these bytes and at most twice as many, the
// smallest there is; nullptr when none.
void* TakeKept(std::size_t bytes, std::size_t& taken) noexcept {
  ::AcquireSRWLockExclusive(&keptLock);
  std::size_t best = keptCount;
  for (std::size_t i = 0; i < keptCount; ++i) {
    if (kept[i].bytes >= bytes && kept[i].bytes / 2 <= bytes && (best == keptCount || kept[i].bytes < kept[best].bytes))
      best = i;
  }
  void* raw = nullptr;
  if (best != keptCount) {
    raw = kept[best].raw;
    taken = kept[best].bytes;
    kept[best] = kept[--keptCount];
  }
  ::ReleaseSRWLockExclusive(&keptLock);
  return raw;
}

bool Keep(void* raw, std::size_t bytes) noexcept {
  ::AcquireSRWLockExclusive(&keptLock);
  const bool room = keptCount < kKeptBlocks;
  if (room) kept[keptCount++] = KeptBlock{raw, bytes};
  ::ReleaseSRWLockExclusive(&keptLock);
  return room;
}

void* Allocate(std::size_t size) noexcept {
  if (size > SIZE_MAX - kHeaderBytes - kPage) return nullptr;
  const std::size_t total = size + kHeaderBytes;
  std::size_t bytes = 0;
  void* raw = nullptr;
  if (size >= kLargeBlock) {
    bytes = (total + kPage - 1) / kPage * kPage;
    raw = TakeKept(bytes, bytes);
    if (!raw) raw = ::VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  } else {
    raw = std::malloc(total);
  }
  if (!raw) return nullptr;
  *static_cast<std::size_t*>(raw) = bytes;
  return static_cast<unsigned char*>(raw) + kHeaderBytes;
}

void Release(void* block) noexcept {
  if (!block) return;
  void* raw = static_cast<unsigned char*>(block) - kHeaderBytes;
  const std::size_t bytes = *static_cast<std::size_t*>(raw);
  if (bytes == 0) {
    std::free(raw);
  } else if (!Keep(raw, bytes)) {
    ::VirtualFree(raw, 0, MEM_RELEASE);
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

namespace qv::win32 {

void ReleaseKeptBlocks() noexcept {
  ::AcquireSRWLockExclusive(&keptLock);
  for (std::size_t i = 0; i < keptCount; ++i) ::VirtualFree(kept[i].raw, 0, MEM_RELEASE);
  keptCount = 0;
  ::ReleaseSRWLockExclusive(&keptLock);
}

}  // namespace qv::win32

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
