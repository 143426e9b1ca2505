#include "app/DisplayStates.h"

#include "dock/RectPresentation.h"
#include "round/RoundPresentation.h"

namespace qv::app {

WindowLayer CompanionLayer(WindowLayer mainLayer) {
  return mainLayer == WindowLayer::Topmost ? WindowLayer::Topmost : WindowLayer::Normal;
}

DisplayStates::DisplayStates(IWindowSystem& windows, WindowId mainWindow, round::RoundPresentation& round,
                             dock::RectPresentation& dock, catalogue::ItemSlots& slots)
    : windows_(windows), main_(mainWindow), round_(round), dock_(dock), slots_(slots) {}

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
  round_.SetOnScreen(true);
}

void DisplayStates::MinimizeToTray() {
  CollapseRectBar();
  windows_.MinimizeApplication();
  // Hiding the main window takes its taskbar button away: only the tray icon remains.
  windows_.Show(main_, false);
  windowsShown_ = false;
  round_.SetOnScreen(false);
}

void DisplayStates::ToggleShown() {
  if (!windowsShown_) {
    RestoreFromTray();
    return;
  }
  windows_.MinimizeApplication();
  windows_.Show(main_, false);
  windowsShown_ = false;
  round_.SetOnScreen(false);
}

void DisplayStates::RaiseRoundWindows() { round_.RaiseRoundWindows(); }

bool DisplayStates::RectMagnified() const { return dock_.Magnified(); }

void DisplayStates::RaiseRectWindows() { dock_.RaiseRectWindows(); }

void DisplayStates::CollapseRectBar() { dock_.CollapseRectBar(); }

void DisplayStates::AfterBounce(int slot) { dock_.AfterBounce(slot, windows_.CursorPosition()); }

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
  dock_.SetLayer(others);
  for (WindowId w : extra) apply(w);
  return mainLayer;
}

}  // namespace qv::app
