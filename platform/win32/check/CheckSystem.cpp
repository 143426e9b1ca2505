// The single-instance mutex and resources of the program file. A second
// start in another process is e2e/interaction.py's.

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
}

}  // namespace qv::win32::check
