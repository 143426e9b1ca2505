#include "round/Interaction.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "round/HintWindow.h"
#include "round/RingGeometry.h"
#include "round/RoundPresentation.h"

namespace qv::round {

namespace {

constexpr int kRingAreaReach = 80;     // beyond the inner radius and the separation
constexpr int kExchangeDistance = 20;  // an item dropped this close to another takes its place

Point TopLeft(const Rect& r) { return {r.left, r.top}; }

}  // namespace

WindowKind KindOfPlace(const std::optional<catalogue::WindowPlace>& place) {
  using catalogue::Presentation;
  using catalogue::WindowRole;
  if (!place || place->presentation != Presentation::Round) return WindowKind::Other;
  switch (place->role) {
    case WindowRole::Main:
      return WindowKind::MainForm;
    case WindowRole::Skin:
      return WindowKind::Background;
    case WindowRole::Center:
      return WindowKind::Center;
    case WindowRole::Item:
      return WindowKind::Item;
    case WindowRole::Label:
      return WindowKind::Hint;
  }
  return WindowKind::Other;
}

KeyAction KeyActionOf(Key key) {
  switch (key) {
    case Key::Left:
    case Key::Up:
      return KeyAction::RotateBackward;
    case Key::Right:
    case Key::Down:
      return KeyAction::RotateForward;
    case Key::Space:
      return KeyAction::ChangeBackground;
    case Key::Enter:
      return KeyAction::ChangeCenter;
    case Key::Tab:
    case Key::Escape:
    case Key::Apps:
    case Key::F10:
    case Key::Other:
      break;
  }
  return KeyAction::None;
}

std::int64_t RingAreaLimitSquared(int backgroundWidth, int minR, int separationSize) {
  const std::int64_t half = backgroundWidth / 2;
  const std::int64_t reach = std::int64_t{minR} + separationSize + kRingAreaReach;
  return std::max(half * half, reach * reach);
}

bool InsideRingArea(Point drop, Point centre, int backgroundWidth, int minR, int separationSize) {
  const std::int64_t dx = std::int64_t{drop.x} - centre.x;
  const std::int64_t dy = std::int64_t{drop.y} - centre.y;
  return dx * dx + dy * dy <= RingAreaLimitSquared(backgroundWidth, minR, separationSize);
}

int FindExchangeTarget(const std::vector<ExchangeCandidate>& occupied, const std::string& draggedName,
                       Point draggedTopLeft) {
  for (const ExchangeCandidate& c : occupied) {
    if (c.name == draggedName) continue;
    if (std::abs(c.topLeft.x - draggedTopLeft.x) < kExchangeDistance &&
        std::abs(c.topLeft.y - draggedTopLeft.y) < kExchangeDistance)
      return c.slot;
  }
  return 0;
}

Interaction::Interaction(const InteractionContext& c, IRingHost& host, catalogue::IThrowOut& throwOut,
                         catalogue::IExchange& exchange)
    : platform_(c.platform),
      settings_(c.settings),
      slots_(c.slots),
      round_(c.round),
      main_(c.mainWindow),
      clearMemory_(c.clearMemory),
      host_(host),
      throwOut_(throwOut),
      exchange_(exchange),
      rotation_(c.platform.timers, c.round, c.settings.RotationValue),
      hover_(c.platform, c.settings, c.slots, c.mainWindow, [this] { return host_.IconsLoaded(); }) {}

void Interaction::CreateHintWindow(WindowLayer layer, const std::string& fontDefine) {
  hover_.CreateHintWindow(layer, fontDefine);
  slots_.Windows().Add(hover_.HintWindowId(), {catalogue::Presentation::Round, catalogue::WindowRole::Label, 0});
}

void Interaction::CloseHintWindow() {
  slots_.Windows().Remove(hover_.HintWindowId());
  hover_.CloseHintWindow();
}

bool Interaction::Moved(WindowId window) const { return TopLeft(platform_.windows.Bounds(window)) != dragOrigin_; }

int Interaction::SlotOfItem(WindowId window) const { return slots_.Windows().ItemSlot(window); }

// ---- press ----

void Interaction::MouseDown(const PointerEvent& e) {
  const WindowKind kind = KindOf(e.window);
  const bool left = e.button == MouseButton::Left;
  if (left) {
    // A press starts afresh, even if the last release never reached us.
    pressed_ = carry_.window = kNoWindow;
    ringPressed_ = false;
  }
  switch (kind) {
    case WindowKind::MainForm:
      dragOrigin_ = e.client;
      break;
    case WindowKind::Center:
      break;
    case WindowKind::Background:
      dragOrigin_ = e.client;
      round_.RaiseRoundWindows();
      platform_.windows.SetFocus(main_);
      ringPressed_ = left;
      break;
    case WindowKind::Item: {
      HoldStill(e.window);
      dragOrigin_ = TopLeft(platform_.windows.Bounds(e.window));
      hover_.ClearHintText();
      if (left && !settings_.LockIcon) {
        carry_.Take(e.window, e.client);
      }
      break;
    }
    case WindowKind::Hint:
    case WindowKind::Other:
      return;
  }
  if (left) {
    pressed_ = e.window;
    platform_.windows.SetCapture(e.window);
  }
}

// ---- move ----

void Interaction::MouseMove(const PointerEvent& e) {
  carry_.Follow(platform_.windows, e);
  const WindowKind kind = KindOf(e.window);
  if (kind == WindowKind::Background && ringPressed_ && e.leftHeld) {
    if (!settings_.LockPosition) MoveRing(e.client.x - dragOrigin_.x, e.client.y - dragOrigin_.y);
  } else if (kind == WindowKind::Item && e.leftHeld && Moved(e.window)) {
    platform_.windows.SetCursor(CursorShape::Drag);
  }
}

// The ring skin moves with the pointer, so the pointer keeps its place on it.
void Interaction::MoveRing(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  auto shift = [&](WindowId w) {
    if (w == kNoWindow) return;
    Rect b = platform_.windows.Bounds(w);
    b.left += dx;
    b.top += dy;
    platform_.windows.SetBounds(w, b);
  };
  shift(round_.BackgroundWindow());
  shift(main_);
  shift(round_.CenterWindow());
  const Rect main = platform_.windows.Bounds(main_);
  settings_.PositionLeft = main.left;
  settings_.PositionTop = main.top;
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) shift(slots_[slot].Window);
}

// ---- release ----

void Interaction::MouseUp(const PointerEvent& e) {
  const bool left = e.button == MouseButton::Left;
  // Only the left button ends a drag; another button let go meanwhile does nothing.
  if (!left && carry_.window != kNoWindow) return;
  activeIconWindow_ = e.window;
  const bool clicked = !left || pressed_ == e.window;
  const WindowId carried = carry_.window;
  if (left) {
    if (pressed_ != kNoWindow) platform_.windows.ReleaseCapture();
    pressed_ = carry_.window = kNoWindow;
    ringPressed_ = false;
  }

  const WindowKind kind = KindOf(e.window);
  switch (kind) {
    case WindowKind::MainForm:
    case WindowKind::Background:
      round_.RaiseRoundWindows();
      break;
    case WindowKind::Center:
      if (left && clicked) LaunchItem(e.window);
      break;
    case WindowKind::Item:
      if (carried != e.window || !Moved(e.window)) {
        if (left && clicked) LaunchItem(e.window);
        clearMemory_.Enable();
      } else {
        DropRoundItem(e.window, e.client);
      }
      platform_.windows.SetCursor(CursorShape::Default);
      break;
    case WindowKind::Hint:
    case WindowKind::Other:
      break;
  }
}

void Interaction::CancelCarry() {
  const WindowId carried = std::exchange(carry_.window, kNoWindow);
  if (carried != kNoWindow && slots_.Windows().RingSlot(carried) != 0) PutBack(carried);
}

// Where it was taken from; a ring item goes to its slot's place, which is
// the same point unless the rings turned while it was carried.
void Interaction::PutBack(WindowId window) {
  Rect bounds = platform_.windows.Bounds(window);
  bounds.left = dragOrigin_.x;
  bounds.top = dragOrigin_.y;
  const int slot = slots_.Windows().RingSlot(window);
  if (slot != 0 && slots_[slot].Window == window) {
    const Rect main = platform_.windows.Bounds(main_);
    bounds.left = main.left + slots_[slot].OffsetX;
    bounds.top = main.top + slots_[slot].OffsetY;
  }
  platform_.windows.SetBounds(window, bounds);
}

void Interaction::DropRoundItem(WindowId window, Point client) {
  const Rect bounds = platform_.windows.Bounds(window);
  const Point drop{bounds.left + client.x, bounds.top + client.y};
  const Point centre = RingCentre(platform_.windows.Bounds(main_));
  const WindowId background = round_.BackgroundWindow();
  const int backgroundWidth = background != kNoWindow ? platform_.windows.Bounds(background).width : 0;
  if (!InsideRingArea(drop, centre, backgroundWidth, settings_.MinR, settings_.SeparationSize)) {
    if (throwOut_.RequestDestroy(window)) {
      clearMemory_.Enable();
    } else {
      PutBack(window);
    }
    return;
  }
  std::vector<ExchangeCandidate> occupied;
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) {
    const WindowId w = slots_[slot].Window;
    // An item on its way out is no place to land.
    if (w != kNoWindow && !Animates(w))
      occupied.push_back({slot, platform_.windows.Name(w), TopLeft(platform_.windows.Bounds(w))});
  }
  const int target = FindExchangeTarget(occupied, platform_.windows.Name(window), TopLeft(bounds));
  const int source = slots_.Windows().RingSlot(window);
  if (target == 0 || source == 0) {
    PutBack(window);
    return;
  }
  hover_.StopBounce();
  const Rect main = platform_.windows.Bounds(main_);
  exchange_.ExchangeRingItems(source, target, {main.left, main.top});
}

// ---- launch ----

void Interaction::LaunchItem(WindowId sender) {
  if (KindOf(sender) == WindowKind::Center) {
    round_.RaiseRoundWindows();
    host_.RunCenterCommand();
    return;
  }
  const int slot = SlotOfItem(sender);
  if (slot == 0) return;
  const catalogue::TImageIconRec& rec = slots_[slot];
  hover_.StopBounce();
  // A ring item shown see-through under the pointer is opaque again; a dock
  // item never is, and its window alone holds its picture.
  if (slot <= catalogue::kRingSlots) platform_.windows.PushLayered(rec.Window, rec.Surface, kRestAlpha);
  hover_.ClearHoverActive();
  // The shell's answer changes nothing: a target that failed still bounces.
  // A dock element without a target keeps its place in the row, and nothing to hand over.
  if (!rec.File.empty()) platform_.shell.Execute(rec.File, rec.Argument, rec.InitialPosition);
  if (settings_.HideAfterClick) {
    host_.MinimizeToTray();
  } else {
    hover_.StartBounce(slot);
  }
}

void Interaction::HoldStill(WindowId item) {
  if (hover_.Bouncing() && slots_[hover_.BounceSlot()].Window == item) hover_.StopBounce();
}

// ---- hover, wheel, keys, timers ----

void Interaction::MouseEnter(WindowId window) {
  // An item carried by the pointer is under it all the time; it neither
  // lights up nor shows its label on the way.
  if ((carry_.window != kNoWindow && platform_.windows.IsLeftButtonDown()) || Animates(window)) return;
  if (KindOf(window) == WindowKind::Item) hover_.MouseEnter(window);
}

void Interaction::MouseLeave(WindowId window) {
  if (Animates(window)) return;
  if (KindOf(window) == WindowKind::Item) hover_.MouseLeave(window);
}

void Interaction::MouseWheel(WindowId, int notches) {
  // A notch toward the user (down) turns forward, away from the user backward.
  if (notches < 0) rotation_.StartRotation(true);
  if (notches > 0) rotation_.StartRotation(false);
}

void Interaction::KeyDown(WindowId, Key key) {
  switch (KeyActionOf(key)) {
    case KeyAction::RotateBackward:
      rotation_.StartRotation(false);
      break;
    case KeyAction::RotateForward:
      rotation_.StartRotation(true);
      break;
    case KeyAction::ChangeBackground:
      round_.ChangeBackground();
      break;
    case KeyAction::ChangeCenter:
      round_.ChangeCenter();
      break;
    case KeyAction::None:
      break;
  }
}

bool Interaction::OnTimer(int id) {
  switch (id) {
    case TimerRotation:
      rotation_.TimerRotation(carry_.window);
      return true;
    case TimerIconWobbleUp:
      hover_.TimerIconWobbleUp();
      return true;
    case TimerIconWobbleDown:
      hover_.TimerIconWobbleDown();
      return true;
    default:
      return false;
  }
}

}  // namespace qv::round
