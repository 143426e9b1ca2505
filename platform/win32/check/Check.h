#pragma once

// A small harness for checks that need the real system (run under Wine on
// Linux): no test framework is built for MinGW here.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Platform.h"

namespace qv::win32::check {

// Counts a failure when the condition is false, printing the condition and,
// when given, what the case was about. Lines of "  " before it explain it.
void Expect(bool condition, const char* what, const char* file, int line, const std::string& about = {});
int Failures();

inline std::string Bytes(std::initializer_list<std::uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

// A folder of its own under %TEMP%, with a Chinese part in its name.
std::string TempFolder(const char* prefix);

// The program's windows as the checks drive them: the main window of the
// given class and title, and layered windows found by their name.
struct Stage {
  Stage() : platform(::GetModuleHandleW(nullptr)), p(platform.Interfaces()) {}
  // The main window; false when it cannot be found by its class and title.
  bool Open(const wchar_t* className, const wchar_t* title, Rect bounds);
  // A layered window owned by the main window; Window(name) finds its handle.
  WindowId Add(const char* name, Rect bounds, bool visible);
  HWND Window(const char* name) const;

  Win32Platform platform;
  Platform& p;
  WindowId main = kNoWindow;
  HWND mainWindow = nullptr;
};

void CheckText();
void CheckFiles();
void CheckRegistry();
void CheckWindows();
void CheckSystem();
void CheckCanvas();
void CheckShell();
void CheckInput();

}  // namespace qv::win32::check

#define QV_EXPECT(condition) ::qv::win32::check::Expect((condition), #condition, __FILE__, __LINE__)
#define QV_EXPECT_ABOUT(condition, about) \
  ::qv::win32::check::Expect((condition), #condition, __FILE__, __LINE__, (about))
