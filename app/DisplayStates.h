#pragma once

// Shown or hidden in the tray, and the layer the windows live in. The
// routines here are shared by the tray icon, the hot key, the menus and the
// pointer handlers.

#include <cstdint>
#include <initializer_list>

#include "catalogue/ItemSlots.h"
#include "platform/Platform.h"

namespace qv::round {
class RoundPresentation;
}
namespace qv::dock {
class RectPresentation;
}

namespace qv::app {

// The layer every window but the main one takes when the main window is in
// mainLayer: on top with it, and normal when it sits on the desktop, which
// already holds the whole program at desktop level.
WindowLayer CompanionLayer(WindowLayer mainLayer);

class DisplayStates {
 public:
  DisplayStates(IWindowSystem& windows, WindowId mainWindow, round::RoundPresentation& round,
                dock::RectPresentation& dock, catalogue::ItemSlots& slots);

  // WindowsShown: the program's windows are on screen, not in the tray.
  bool WindowsShown() const { return windowsShown_; }
  // The main form is made and shown at start.
  void MarkShown() { windowsShown_ = true; }
  // RectMagnified: the dock is drawn larger under the pointer (the dock keeps it).
  bool RectMagnified() const;

  // The tray icon's callback, by the mouse message on the icon.
  void OnTrayCallback(std::intptr_t mouseMessage);

  void RestoreFromTray();
  void MinimizeToTray();
  // The hot key: hides what is shown and shows what is hidden.
  void ToggleShown();
  void RaiseRoundWindows();
  void RaiseRectWindows();
  // Returns a magnified dock to its resting size; nothing when it is at rest.
  void CollapseRectBar();
  // The end of a click bounce: a magnified dock the pointer has left shrinks back.
  void AfterBounce(int slot);

  // Puts the main window in the requested layer and every other window of
  // the program (the skins, the items, the dock, the extra windows such as the
  // label) in its companion layer. Returns the layer the main window got:
  // the desktop layer falls back to the normal one where the shell has no
  // desktop window.
  WindowLayer ApplyLayer(WindowLayer requested, std::initializer_list<WindowId> extra = {});

 private:
  IWindowSystem& windows_;
  WindowId main_;
  round::RoundPresentation& round_;
  dock::RectPresentation& dock_;
  catalogue::ItemSlots& slots_;
  bool windowsShown_ = false;
};

}  // namespace qv::app
