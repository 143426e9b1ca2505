// Runs every check and prints "N failed" last; the exit code is the number
// of failures (capped), so a script can tell at once.

#include <cstdio>
#include <cstdlib>

#include "platform/win32/Utf.h"
#include "platform/win32/check/Check.h"

namespace qv::win32::check {
namespace {

int failures = 0;

}  // namespace

void Expect(bool condition, const char* what, const char* file, int line, const std::string& about) {
  if (condition) return;
  ++failures;
  std::printf("FAILED %s:%d: %s%s%s\n", file, line, what, about.empty() ? "" : " -- ", about.c_str());
  std::fflush(stdout);
}

int Failures() { return failures; }

std::string TempFolder(const char* prefix) {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
  return Narrow(std::wstring(buffer, length)) + prefix + std::to_string(::GetCurrentProcessId()) + "-配置\\";
}

bool Stage::Open(const wchar_t* className, const wchar_t* title, Rect bounds) {
  main = p.windows.CreateWindow({.name = "FormRoundHot",
                                 .className = Narrow(className),
                                 .title = Narrow(title),
                                 .bounds = bounds,
                                 .mainForm = true});
  mainWindow = ::FindWindowW(className, title);
  return main != kNoWindow && mainWindow != nullptr;
}

WindowId Stage::Add(const char* name, Rect bounds, bool visible) {
  return p.windows.CreateWindow({.name = name, .bounds = bounds, .visible = visible});
}

HWND Stage::Window(const char* name) const { return ::FindWindowW(L"QuorvelLayered", Widen(name).c_str()); }

}  // namespace qv::win32::check

int wmain(int, wchar_t**) {
  using namespace qv::win32::check;
  const struct {
    const char* name;
    void (*run)();
  } sections[] = {{"system", CheckSystem}, {"text", CheckText},     {"files", CheckFiles},
                  {"registry", CheckRegistry}, {"canvas", CheckCanvas}, {"shell", CheckShell},
                  {"windows", CheckWindows}, {"input", CheckInput}};
  try {
    for (const auto& section : sections) {
      std::printf("%s\n", section.name);
      section.run();
    }
  } catch (...) {
    Expect(false, "no exception escapes the checks", __FILE__, __LINE__);
  }
  std::printf("%d failed\n", Failures());
  return Failures() > 100 ? 100 : Failures();
}
