// Runs every check and prints "N failed" last; the exit code is the number
// of failures (capped), so a script can tell at once.

#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "platform/win32/Utf.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

int failures = 0;

}  // namespace

void Expect(bool condition, const char* what, const char* file, int line) {
  if (condition) return;
  ++failures;
  std::printf("FAILED %s:%d: %s\n", file, line, what);
  std::fflush(stdout);
}

void Note(const std::string& text) {
  std::printf("  %s\n", text.c_str());
  std::fflush(stdout);
}

int Failures() { return failures; }

}  // namespace qv::win32::check

int wmain(int argc, wchar_t** argv) {
  using namespace qv::win32::check;
  if (argc == 3 && std::wcscmp(argv[1], L"--mutex") == 0) return MutexProbe(argv[2]);
  try {
    std::printf("text\n");
    CheckText();
    std::printf("files\n");
    CheckFiles();
    std::printf("registry\n");
    CheckRegistry();
    std::printf("system\n");
    CheckSystem(argv[0]);
    std::printf("canvas\n");
    CheckCanvas();
    std::printf("shell\n");
    CheckShell();
    std::printf("windows\n");
    CheckWindows();
    std::printf("input\n");
    CheckInput();
  } catch (...) {
    Expect(false, "no exception escapes the checks", __FILE__, __LINE__);
  }
  std::printf("%d failed\n", Failures());
  return Failures() > 100 ? 100 : Failures();
}
