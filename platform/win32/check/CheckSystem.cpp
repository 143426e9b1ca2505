// The single-instance mutex, resources of the program file and the
// program's memory blocks. A second start in another process is
// e2e/interaction.py's.

#include <string>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/System.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {

void CheckSystem() {
  Win32Windows windows(::GetModuleHandleW(nullptr));
  Win32MessageLoop loop;
  Win32System system(::GetModuleHandleW(nullptr), windows, loop);
  const std::string name = "QuorvelCheck-" + std::to_string(::GetCurrentProcessId());
  QV_EXPECT(system.CreateSingleInstanceMutex(name) && !system.CreateSingleInstanceMutex(name));

  // Resource names ignore case; a wrong type or name finds nothing.
  const struct {
    const char *type, *name;
    bool found;
  } resources[] = {{"PNG", "CHECKDATA", true}, {"png", "checkdata", true}, {"PNG", "MISSING", false}, {"", "", false}};
  for (const auto& r : resources) {
    const auto bytes = system.LoadResource(r.type, r.name);
    QV_EXPECT_ABOUT(r.found ? bytes == std::string("Quorvel check resource") : !bytes, r.name);
  }

  // A large block is pages of its own, kept when freed for the next one of
  // its size and given back to the system by the trim; a small one comes
  // from the heap, which keeps its pages.
  const auto baseOf = [](const void* block) {
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(block, &info, sizeof(info));
    return info.AllocationBase;
  };
  const auto state = [](void* base) {
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(base, &info, sizeof(info));
    return info.State;
  };
  for (const std::size_t size : {std::size_t{64 * 1024}, std::size_t{1000}}) {
    auto* block = new unsigned char[size];
    block[0] = block[size - 1] = 1;
    void* base = baseOf(block);
    delete[] block;
    if (size < 64 * 1024) {
      QV_EXPECT(state(base) == MEM_COMMIT);
      continue;
    }
    auto* again = new unsigned char[size + 100];  // the same pages serve it
    QV_EXPECT(baseOf(again) == base);
    delete[] again;
    system.TrimWorkingSet();
    QV_EXPECT(state(base) == MEM_FREE);
  }
}

}  // namespace qv::win32::check
