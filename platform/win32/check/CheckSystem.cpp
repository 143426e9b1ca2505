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

  // A large block is pages of its own, given back to the system when freed;
  // a small one comes from the heap, which keeps its pages.
  for (const std::size_t size : {std::size_t{64 * 1024}, std::size_t{1000}}) {
    auto* block = new unsigned char[size];
    block[0] = block[size - 1] = 1;
    MEMORY_BASIC_INFORMATION info{};
    ::VirtualQuery(block, &info, sizeof(info));
    void* base = info.AllocationBase;
    delete[] block;
    ::VirtualQuery(base, &info, sizeof(info));
    QV_EXPECT_ABOUT((info.State == MEM_FREE) == (size >= 64 * 1024), std::to_string(size));
  }
}

}  // namespace qv::win32::check
