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

int CountTrayIcons() {
  bool tray = false;
  int icons = 0;
  for (HWND hwnd : TopLevelWindows()) {
    std::string cls = ClassName(hwnd);
    if (cls == kShellTray) {
      tray = true;
    } else if (cls == kTrayIcon) {
      if (IsWindowVisible(hwnd)) ++icons;
    } else if (cls == kStandaloneTray) {
      tray = true;
      for (HWND child : ChildWindows(hwnd))
        if (ClassName(child) == kTrayIcon && IsWindowVisible(child)) ++icons;
    }
  }
  return tray ? icons : -1;
}

}  // namespace qvtool
