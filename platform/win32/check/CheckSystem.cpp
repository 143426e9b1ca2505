// The single-instance mutex across processes, resources of the program
// file, and the encoding entry points by name.

#include <string>

#include "platform/win32/Files.h"
#include "platform/win32/MessageLoop.h"
#include "platform/win32/System.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
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
  // Before this process holds it, another one gets it; afterwards it does not.
  QV_EXPECT(RunProbe(selfPath, name) == 0);
  {
    Win32Windows windows(::GetModuleHandleW(nullptr));
    Win32MessageLoop loop;
    Win32System system(::GetModuleHandleW(nullptr), windows, loop);
    QV_EXPECT(system.CreateSingleInstanceMutex(Narrow(name)));
    QV_EXPECT(RunProbe(selfPath, name) == 1);
    // A second start inside the same process is a second instance too.
    QV_EXPECT(!system.CreateSingleInstanceMutex(Narrow(name)));

    QV_EXPECT(system.LoadResource("PNG", "CHECKDATA") == std::string("Quorvel check resource"));
    QV_EXPECT(system.LoadResource("png", "checkdata") == std::string("Quorvel check resource"));
    QV_EXPECT(!system.LoadResource("PNG", "MISSING"));
    QV_EXPECT(!system.LoadResource("ICONS", "CHECKDATA"));
    QV_EXPECT(!system.LoadResource("", ""));

    // The entry points by name; the conversions themselves are the text checks'.
    QV_EXPECT(system.DecodeToUtf8(Bytes({0xCC, 0xE1, 0xCA, 0xBE}), "gb2312") == std::string("提示"));
    QV_EXPECT(!system.EncodeFromUtf8("abc", "utf-16"));

    const LocalTime now = system.Now();
    QV_EXPECT(now.year >= 2020 && now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31);
  }
  // The mutex goes with its owner.
  QV_EXPECT(RunProbe(selfPath, name) == 0);
}

}  // namespace qv::win32::check
