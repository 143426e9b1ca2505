// The single-instance mutex across processes and resources of the program
// file.

#include <string>

#include "platform/win32/MessageLoop.h"
#include "platform/win32/System.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

// Runs this program again as a probe of the named mutex.
int RunProbe(const wchar_t* selfPath, const std::wstring& name) {
  std::wstring command = L"\"" + std::wstring(selfPath) + L"\" --mutex " + name;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return -1;
  }
  ::WaitForSingleObject(process.hProcess, 30000);
  DWORD code = 0;
  ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int MutexProbe(const wchar_t* name) {
  Win32Windows windows(::GetModuleHandleW(nullptr));
  Win32MessageLoop loop;
  Win32System system(::GetModuleHandleW(nullptr), windows, loop);
  return system.CreateSingleInstanceMutex(Narrow(name)) ? 0 : 1;
}

void CheckSystem(const wchar_t* selfPath) {
  const std::wstring name = L"QuorvelCheck-" + std::to_wstring(::GetCurrentProcessId());
  // Before this process holds it, another one gets it; afterwards it does
  // not, nor does a second start inside this process; it goes with its owner.
  QV_EXPECT(RunProbe(selfPath, name) == 0);
  {
    Win32Windows windows(::GetModuleHandleW(nullptr));
    Win32MessageLoop loop;
    Win32System system(::GetModuleHandleW(nullptr), windows, loop);
    QV_EXPECT(system.CreateSingleInstanceMutex(Narrow(name)));
    QV_EXPECT(RunProbe(selfPath, name) == 1);
    QV_EXPECT(!system.CreateSingleInstanceMutex(Narrow(name)));

    // Resource names ignore case; a wrong type or name finds nothing.
    const struct {
      const char *type, *name;
      bool found;
    } resources[] = {
        {"PNG", "CHECKDATA", true}, {"png", "checkdata", true}, {"PNG", "MISSING", false}, {"", "", false}};
    for (const auto& r : resources) {
      const auto bytes = system.LoadResource(r.type, r.name);
      QV_EXPECT_ABOUT(r.found ? bytes == std::string("Quorvel check resource") : !bytes, r.name);
    }
  }
  QV_EXPECT(RunProbe(selfPath, name) == 0);
}

}  // namespace qv::win32::check
