#include "TrayProbe.h"

#include "WindowQueries.h"

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

namespace qvtool {

namespace {

constexpr const char* kShellTray = "Shell_TrayWnd";
constexpr const char* kStandaloneTray = "__winex11_standalone_tray";
constexpr const char* kTrayIcon = "__winex11_tray_icon";

}  // namespace

TrayReport InspectTray() {
  TrayReport report;
  bool shellTray = false;
  int icons = 0;
  for (HWND hwnd : TopLevelWindows()) {
    std::string cls = ClassName(hwnd);
    if (cls == kShellTray) {
      shellTray = true;
      report.details.push_back("shell " + DescribeWindow(hwnd));
    } else if (cls == kTrayIcon) {
      report.details.push_back("docked " + DescribeWindow(hwnd));
      if (IsWindowVisible(hwnd)) ++icons;
    } else if (cls == kStandaloneTray) {
      shellTray = true;
      report.details.push_back("tray " + DescribeWindow(hwnd));
      for (HWND child : ChildWindows(hwnd)) {
        report.details.push_back("icon " + DescribeWindow(child));
        if (ClassName(child) == kTrayIcon && IsWindowVisible(child)) ++icons;
      }
    }
  }
  if (shellTray) report.count = icons;
  return report;
}

namespace {

LRESULT CALLBACK DemoProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool RunTrayDemo(int count, DWORD ms) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DemoProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"QuorvelTrayDemo";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"tray demo", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            wc.hInstance, nullptr);
  if (!hwnd) return false;
  bool ok = true;
  for (int i = 1; i <= count; ++i) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd;
    data.uID = static_cast<UINT>(i);
    data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    data.uCallbackMessage = WM_APP + 1;
    data.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    lstrcpynW(data.szTip, L"tray demo", 64);
    ok = Shell_NotifyIconW(NIM_ADD, &data) && ok;
  }
  PrintLine(ok ? "shown" : "add failed");
  DWORD until = GetTickCount() + ms;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  for (int i = 1; i <= count; ++i) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = hwnd;
    data.uID = static_cast<UINT>(i);
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
  DestroyWindow(hwnd);
  return ok;
}

}  // namespace qvtool
