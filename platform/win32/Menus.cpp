#include "platform/win32/Menus.h"

#include "platform/win32/Diagnostics.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Utf.h"
#include "platform/win32/Win32Windows.h"

namespace qv::win32 {

namespace {

// Builds the items into the menu; false when the system refused one, so that
// a half-built menu is never shown.
bool Append(HMENU menu, const std::vector<MenuItem>& items) {
  for (const MenuItem& item : items) {
    if (item.separator) {
      if (!::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr)) return false;
      continue;
    }
    UINT flags = MF_STRING;
    if (!item.enabled) flags |= MF_GRAYED;
    if (item.checked) flags |= MF_CHECKED;
    const std::wstring caption = Widen(item.caption);
    if (!item.submenu.empty()) {
      UniqueMenu sub(::CreatePopupMenu());
      if (!sub || !Append(sub.Get(), item.submenu)) return false;
      if (!::AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.Get()), caption.c_str())) return false;
      sub.Release();  // destroyed with its parent from here on
      continue;
    }
    // Command 0 is the answer "nothing chosen": such an item can never be told apart.
    if (item.command <= 0) flags |= MF_GRAYED;
    if (!::AppendMenuW(menu, flags, static_cast<UINT_PTR>(item.command), caption.c_str())) return false;
  }
  return true;
}

}  // namespace

std::optional<int> Win32Menus::ShowPopupMenu(const Menu& model, Point screen) {
  HWND owner = windows_.MainWindow();
  if (!owner) return std::nullopt;
  UniqueMenu menu(::CreatePopupMenu());
  if (!menu || !Append(menu.Get(), model.items)) {
    ReportFailure(Severity::Error, WithLastError("The menu " + model.name + " could not be built"));
    return std::nullopt;
  }
  // A menu whose owner is not the foreground window never closes on a click
  // elsewhere (the tray's menu above all); the null message afterwards lets
  // the next menu open at the first click.
  ::SetForegroundWindow(owner);
  // The core's point is logical, like the pointer events it came from; the
  // menu opens at the physical pixel under the pointer.
  const Point at = ScaleForDpi(screen, windows_.Dpi());
  const int chosen = static_cast<int>(
      ::TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, owner, nullptr));
  ::PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen <= 0) return std::nullopt;
  return chosen;
}

}  // namespace qv::win32
