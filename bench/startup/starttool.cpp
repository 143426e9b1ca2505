// starttool: the start-up benchmarks' launcher. One sub-command per call,
// results on stdout one per line; exit code 0 done, 1 not done, 2 misused.
//   launch-and-wait-ready EXE MS [ARG...]  ms until its main window is ready, then its pid
//   wait-exit PID MS                        ms until the process has ended

#include <algorithm>
#include <string>
#include <vector>

#include "WindowQueries.h"

using namespace qvtool;

namespace {

using Args = std::vector<std::wstring>;

int LaunchAndWaitReady(const Args& a) {
  long long timeout = 0;
  if (a.size() < 2 || !ParseNumber(a[1], timeout)) return kUsage;
  std::wstring arguments;
  for (std::size_t i = 2; i < a.size(); ++i) arguments += (i > 2 ? L" " : L"") + a[i];
  Stopwatch watch;
  PROCESS_INFORMATION process{};
  if (!Launch(a[0], process, arguments)) {
    PrintLine("CreateProcess failed " + std::to_string(GetLastError()));
    return kFailed;
  }
  CloseHandle(process.hThread);
  int result = kFailed;
  while (true) {
    HWND main = FindMainWindow();
    DWORD owner = 0;
    if (main) GetWindowThreadProcessId(main, &owner);
    if (main && owner == process.dwProcessId && IsReady(main)) {
      PrintLine(FormatMs(watch.Ms()));
      PrintLine(std::to_string(process.dwProcessId));
      result = kOk;
      break;
    }
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
      DWORD code = 0;
      GetExitCodeProcess(process.hProcess, &code);
      PrintLine("exited with " + std::to_string(code) + " before ready");
      break;
    }
    if (watch.Ms() > timeout) {
      PrintLine("not ready in time");
      break;
    }
    Sleep(1);
  }
  CloseHandle(process.hProcess);
  return result;
}

int WaitExit(const Args& a) {
  long long pid = 0, timeout = 0;
  if (a.size() != 2 || !ParseNumber(a[0], pid) || !ParseNumber(a[1], timeout)) return kUsage;
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!process) {
    PrintLine("no such process");
    return kOk;  // already gone
  }
  Stopwatch watch;
  DWORD waited = WaitForSingleObject(process, static_cast<DWORD>(timeout));
  CloseHandle(process);
  if (waited != WAIT_OBJECT_0) {
    PrintLine("still running");
    return kFailed;
  }
  PrintLine(FormatMs(watch.Ms()));
  return kOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetProcessDPIAware();
  std::wstring command = argc > 1 ? argv[1] : L"";
  Args args(argv + std::min(argc, 2), argv + argc);
  if (command == L"launch-and-wait-ready") return LaunchAndWaitReady(args);
  if (command == L"wait-exit") return WaitExit(args);
  std::fputs("usage: starttool launch-and-wait-ready EXE MS [ARG...] | wait-exit PID MS\n", stderr);
  return kUsage;
}
