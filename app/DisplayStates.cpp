#include "app/DisplayStates.h"

#include "round/RoundPresentation.h"

namespace qv::app {

WindowLayer CompanionLayer(WindowLayer mainLayer) {
  return mainLayer == WindowLayer::Topmost ? WindowLayer::Topmost : WindowLayer::Normal;
}

DisplayStates::DisplayStates(IWindowSystem& windows, WindowId mainWindow, round::RoundPresentation& round,
                             catalogue::ItemSlots& slots)
    : windows_(windows), main_(mainWindow), round_(round), slots_(slots) {}

void DisplayStates::OnTrayCallback(std::intptr_t mouseMessage) {
  // The right button opens the tray menu, which the menus bring; every other
  // mouse message on the icon means nothing.
  if (mouseMessage == kMouseLeftDown) RestoreFromTray();
}

void DisplayStates::RestoreFromTray() {
  windows_.RestoreApplication();
  windows_.Show(main_, true);
  windows_.BringToForeground(main_);
  RaiseRoundWindows();
  windowsShown_ = true;
}

void DisplayStates::MinimizeToTray() {
  CollapseRectBar();
  windows_.MinimizeApplication();
  // Hiding the main window takes its taskbar button away: only the tray icon remains.
  windows_.Show(main_, false);
  windowsShown_ = false;
}

void DisplayStates::ToggleShown() {
  if (!windowsShown_) {
    RestoreFromTray();
    return;
  }
  windows_.MinimizeApplication();
  windows_.Show(main_, false);
  windowsShown_ = false;
}

void DisplayStates::RaiseRoundWindows() { round_.RaiseRoundWindows(); }

void DisplayStates::RaiseRectWindows() {
  if (rectBar_ != kNoWindow) windows_.BringToTop(rectBar_);
  for (int slot = catalogue::kRingSlots + 1; slot <= catalogue::kSlotCount && !slots_[slot].File.empty(); ++slot)
    if (slots_[slot].Window != kNoWindow) windows_.BringToTop(slots_[slot].Window);
}

void DisplayStates::CollapseRectBar() {
  if (!rectMagnified_) return;
  // The dock draws itself at rest here once it magnifies.
  rectMagnified_ = false;
}

bool InsideShrunkRectBar(const Rect& bar, Point p) {
  return p.x >= bar.left + 25 && p.x <= bar.Right() - 25 && p.y >= bar.top + 12 && p.y <= bar.Bottom() - 12;
}

void DisplayStates::AfterBounce(int) {
  if (rectBar_ != kNoWindow && InsideShrunkRectBar(windows_.Bounds(rectBar_), windows_.CursorPosition())) return;
  // A bounced dock item also returns to its resting top here, once the dock
  // knows where that is.
  CollapseRectBar();
}

WindowLayer DisplayStates::ApplyLayer(WindowLayer requested, std::initializer_list<WindowId> extra) {
  const WindowLayer mainLayer = windows_.SetLayer(main_, requested);
  const WindowLayer others = CompanionLayer(mainLayer);
  round_.SetLayer(others);
  auto apply = [&](WindowId w) {
    if (w != kNoWindow) windows_.SetLayer(w, others);
  };
  apply(round_.BackgroundWindow());
  apply(round_.CenterWindow());
  apply(rectBar_);
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) apply(slots_[slot].Window);
  for (int slot = catalogue::kRingSlots + 1; slot <= catalogue::kSlotCount && !slots_[slot].File.empty(); ++slot)
    apply(slots_[slot].Window);
  for (WindowId w : extra) apply(w);
  return mainLayer;
}

}  // namespace qv::app
