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
  if (dock_.Raise) dock_.Raise();
}

void DisplayStates::CollapseRectBar() {
  if (dock_.Collapse) dock_.Collapse();
}

bool InsideShrunkRectBar(const Rect& bar, Point p) {
  return p.x >= bar.left + 25 && p.x <= bar.Right() - 25 && p.y >= bar.top + 12 && p.y <= bar.Bottom() - 12;
}

void DisplayStates::AfterBounce(int slot) {
  if (dock_.AfterBounce) dock_.AfterBounce(slot);
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
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) apply(slots_[slot].Window);
  if (dock_.SetLayer) dock_.SetLayer(others);
  for (WindowId w : extra) apply(w);
  return mainLayer;
}

}  // namespace qv::app
