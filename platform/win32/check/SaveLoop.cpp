// The child of the crash-safety trials (e2e/crash_safety.py): saves the
// configuration file through the program's own writer, over and over,
// alternating two contents, until it is killed.
//
//   qv_save_loop.exe TARGET FIRST SECOND [TERMINATE_AFTER_MS]
//
// Before each save it prints "save N first|second", so whoever killed it
// can tell which save was under way. With TERMINATE_AFTER_MS a thread of
// its own calls TerminateProcess that many milliseconds after the first
// save began, wherever the writer then is.

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>

#include "platform/win32/Files.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"

namespace {

DWORD WINAPI TerminateLater(void* milliseconds) {
  ::Sleep(static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(milliseconds)));
  ::TerminateProcess(::GetCurrentProcess(), 9);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: qv_save_loop TARGET FIRST SECOND [TERMINATE_AFTER_MS]\n");
    return 2;
  }
  qv::win32::Win32Files files;
  const std::string target = qv::win32::Narrow(argv[1]);
  const std::optional<std::string> contents[2] = {files.ReadFile(qv::win32::Narrow(argv[2])),
                                                  files.ReadFile(qv::win32::Narrow(argv[3]))};
  if (!contents[0] || !contents[1] || *contents[0] == *contents[1]) {
    std::fprintf(stderr, "qv_save_loop: two different contents needed\n");
    return 2;
  }
  // Every save changes the file: begin with the content it does not hold.
  unsigned which = files.ReadFile(target) == contents[0] ? 1 : 0;
  if (argc == 5) {
    const auto after = static_cast<std::uintptr_t>(std::wcstoul(argv[4], nullptr, 10));
    HANDLE thread = ::CreateThread(nullptr, 0, TerminateLater, reinterpret_cast<void*>(after), 0, nullptr);
    if (!thread) return 3;
    ::CloseHandle(thread);
  }
  for (unsigned long save = 1;; ++save, which ^= 1) {
    std::printf("save %lu %s\n", save, which == 0 ? "first" : "second");
    std::fflush(stdout);
    if (!files.WriteFileAtomic(target, *contents[which])) {
      std::printf("save %lu failed\n", save);
      return 1;
    }
  }
}
