#include "WindowQueries.h"

#include <cstdio>

namespace qvtool {

Stopwatch::Stopwatch() {
  QueryPerformanceFrequency(&frequency_);
  QueryPerformanceCounter(&start_);
}

double Stopwatch::Ms() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency_.QuadPart);
}

std::string FormatMs(double ms) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.1f", ms);
  return buffer;
}

HWND FindMainWindow() { return FindWindowW(kMainClass, kMainTitle); }

bool IsReady(HWND main) { return GetPropW(main, kReadyProperty) != nullptr; }

namespace {

BOOL CALLBACK Collect(HWND hwnd, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> list;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&list));
  return list;
}

std::vector<HWND> ChildWindows(HWND parent) {
  // Direct children only: EnumChildWindows would walk the whole tree.
  std::vector<HWND> list;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) list.push_back(child);
  return list;
}

std::string DescribeWindow(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char numbers[96];
  std::snprintf(numbers, sizeof numbers, "%d\t%ld,%ld,%ld,%ld\t%lu", IsWindowVisible(hwnd) ? 1 : 0, rect.left,
                rect.top, rect.right, rect.bottom, static_cast<unsigned long>(pid));
  return HandleText(hwnd) + "\t" + EscapeLine(ClassName(hwnd)) + "\t" + EscapeLine(WindowText(hwnd)) + "\t" + numbers;
}

HWND FindVisibleTopLevel(const std::wstring& title) {
  std::string wanted = ToUtf8(title);
  for (HWND hwnd : TopLevelWindows())
    if (IsWindowVisible(hwnd) && WindowText(hwnd) == wanted) return hwnd;
  return nullptr;
}

std::vector<std::string> StaticTexts(HWND dialog) {
  std::vector<std::string> texts;
  for (HWND child : ChildWindows(dialog)) {
    if (_stricmp(ClassName(child).c_str(), "Static") != 0) continue;
    std::string text = WindowText(child);
    if (!text.empty()) texts.push_back(text);
  }
  return texts;
}

// What the notification area is under Wine (8.0, X11 driver, no XEMBED tray
// manager on the display, as with openbox on Xvfb):
// - explorer.exe owns a hidden "Shell_TrayWnd" that receives the icons;
// - the first icon creates a top-level "__winex11_standalone_tray" window
//   titled "Wine System Tray" (at 0,0, a caption bar and a row of icons);
//   the last icon removed destroys it again;
// - every icon is a visible 20x20 child of it of class "__winex11_tray_icon",
//   laid out from the left in the order of adding. The tool tips are
//   top-level "tooltips_class32" windows owned by the tray window.
// With an XEMBED tray manager on the display the icons are instead top-level
// "__winex11_tray_icon" windows docked into it; both kinds are counted.

int CountTrayIcons() {
  bool tray = false;
  int icons = 0;
  for (HWND hwnd : TopLevelWindows()) {
    const std::string cls = ClassName(hwnd);
    tray = tray || cls == "Shell_TrayWnd" || cls == "__winex11_standalone_tray";
    if (cls == "__winex11_tray_icon" && IsWindowVisible(hwnd)) ++icons;
    if (cls != "__winex11_standalone_tray") continue;
    for (HWND child : ChildWindows(hwnd))
      if (ClassName(child) == "__winex11_tray_icon" && IsWindowVisible(child)) ++icons;
  }
  return tray ? icons : -1;
}

bool Launch(const std::wstring& exe, PROCESS_INFORMATION& process, const std::wstring& arguments) {
  std::wstring folder = exe;
  size_t slash = folder.find_last_of(L"\\/");
  folder = slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  return CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process) != FALSE;
}

}  // namespace qvtool
