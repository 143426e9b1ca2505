#include "dock/DockPointer.h"

#include "dock/RectPresentation.h"

namespace qv::dock {

namespace {

Point TopLeft(const Rect& r) { return {r.left, r.top}; }

}  // namespace

DockPointer::DockPointer(Platform& platform, const config::Settings& settings, catalogue::ItemSlots& slots,
                         RectPresentation& dock, WindowId mainWindow, FormTimer& clearMemory,
                         catalogue::ILaunch& launch, catalogue::IThrowOut& throwOut)
    : platform_(platform),
      settings_(settings),
      slots_(slots),
      dock_(dock),
      main_(mainWindow),
      clearMemory_(clearMemory),
      launch_(launch),
      throwOut_(throwOut) {}

bool DockPointer::Moved(WindowId window) const {
  return TopLeft(platform_.windows.Bounds(window)) != dragOrigin_;
}

void DockPointer::MouseDown(const PointerEvent& e) {
  const bool left = e.button == MouseButton::Left;
  if (left) pressed_ = carry_.window = kNoWindow;  // a press starts afresh, even if the last release never came
  if (IsItem(e.window)) {
    launch_.HoldStill(e.window);
    dragOrigin_ = TopLeft(platform_.windows.Bounds(e.window));
    if (left && !settings_.LockIcon) {
      carry_.Take(e.window, e.client);
    }
  } else {
    dock_.RaiseRectWindows();
    platform_.windows.SetFocus(main_);
  }
  if (left) {
    pressed_ = e.window;
    platform_.windows.SetCapture(e.window);
  }
}

void DockPointer::MouseMove(const PointerEvent& e) {
  carry_.Follow(platform_.windows, e);
  if (IsItem(e.window) && e.leftHeld && Moved(e.window)) platform_.windows.SetCursor(CursorShape::Drag);
  // An item on its way out stays where the pointer takes it.
  if (carry_.window == kNoWindow) dock_.TrackPointer(e.screen);
}

void DockPointer::MouseUp(const PointerEvent& e) {
  const bool left = e.button == MouseButton::Left;
  // Only the left button ends a drag; another button let go meanwhile does nothing.
  if (!left && carry_.window != kNoWindow) return;
  const bool clicked = !left || pressed_ == e.window;
  const WindowId carried = carry_.window;
  if (left) {
    if (pressed_ != kNoWindow) platform_.windows.ReleaseCapture();
    pressed_ = carry_.window = kNoWindow;
  }
  if (!IsItem(e.window)) return;
  if (carried != e.window || !Moved(e.window)) {
    if (left && clicked) launch_.LaunchItem(e.window);
    clearMemory_.Enable();
  } else {
    Drop(e.window, e.client);
  }
  platform_.windows.SetCursor(CursorShape::Default);
}

// Back onto the bar it goes back to its place, in the row as it is now;
// off the bar it plays the destroy animation, and the row closes up behind it.
void DockPointer::Drop(WindowId window, Point client) {
  const Rect bounds = platform_.windows.Bounds(window);
  const Point drop{bounds.left + client.x, bounds.top + client.y};
  if (!dock_.InsideShrunkBar(drop) && throwOut_.RequestDestroy(window)) {
    clearMemory_.Enable();
    return;
  }
  dock_.PlaceItem(slots_.Windows().ItemSlot(window));
}

void DockPointer::MouseLeave(WindowId window) {
  if (carry_.window == kNoWindow && !throwOut_.Animates(window)) dock_.PointerLeft(platform_.windows.CursorPosition());
}

}  // namespace qv::dock
