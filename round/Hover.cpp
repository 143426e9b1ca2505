#include "round/Hover.h"

#include <utility>

namespace qv::round {

namespace {

constexpr int kHighJumpLimit = 15;  // 16 pixels
constexpr int kLowJumpLimit = 10;   // 11 pixels

}  // namespace

int RoundSlotOfWindowName(const std::string& name) {
  for (int n = 1; n <= catalogue::kRingSlots; ++n)
    if (name == "Circle" + std::to_string(n)) return n;
  return 0;
}

BounceMove StepBounce(BounceState& state, BounceTimer ticking) {
  const int limit = state.BouncePhase == 1 ? kHighJumpLimit : kLowJumpLimit;
  if (ticking == BounceTimer::Up) {
    if (state.BounceStep <= limit) {
      ++state.BounceStep;
      ++state.Lift;
      return {-1, BounceTimer::Up};
    }
    state.BounceStep = 0;
    return {0, BounceTimer::Down};
  }
  if (ticking == BounceTimer::Down) {
    if (state.BounceStep <= limit) {
      ++state.BounceStep;
      --state.Lift;
      return {1, BounceTimer::Down};
    }
    state.BounceStep = 0;
    if (state.BouncePhase == 1) {
      state.BouncePhase = 2;
      return {0, BounceTimer::Up};
    }
  }
  return {0, BounceTimer::None};
}

Hover::Hover(Platform& platform, const config::Settings& settings, catalogue::ItemSlots& slots, WindowId mainWindow,
             std::function<bool()> iconsLoaded)
    : platform_(platform),
      settings_(settings),
      slots_(slots),
      main_(mainWindow),
      iconsLoaded_(std::move(iconsLoaded)),
      up_(platform.timers, qv::TimerIconWobbleUp, kWobbleUpIntervalMs),
      down_(platform.timers, qv::TimerIconWobbleDown, kWobbleDownIntervalMs) {}

void Hover::CreateHintWindow(WindowLayer layer, const std::string& fontDefine) {
  if (!hint_) hint_ = std::make_unique<HintWindow>(platform_.windows, platform_.canvas, layer, fontDefine);
}

void Hover::CloseHintWindow() { hint_.reset(); }

// ---- hovering ----

void Hover::MouseEnter(WindowId window) {
  if (!iconsLoaded_ || !iconsLoaded_()) return;
  const int slot = slots_.Windows().RingSlot(window);
  if (slot != 0) {
    const catalogue::TImageIconRec& rec = slots_[slot];
    if (rec.Window != kNoWindow) {
      platform_.windows.PushLayered(rec.Window, rec.Surface, kHoverAlpha);
      if (settings_.IsShowHint && hint_) {
        hint_->ShowUnder(rec.Hint, platform_.windows.Bounds(rec.Window));
        labelOwner_ = rec.Window;
      }
    }
  }
  hoverActive_ = true;
}

void Hover::MouseLeave(WindowId window) {
  if (!hoverActive_) return;
  const int slot = slots_.Windows().RingSlot(window);
  if (slot == 0 || slots_[slot].Window == kNoWindow) return;
  platform_.windows.PushLayered(slots_[slot].Window, slots_[slot].Surface, kRestAlpha);
  if (window == labelOwner_) ClearHintText();
}

void Hover::ClearHintText() {
  labelOwner_ = kNoWindow;
  if (hint_) hint_->ClearText();
}

// ---- the click bounce ----

void Hover::StartBounce(int slot) {
  StopBounce();
  bounceSlot_ = slot;
  bounce_ = BounceState{};
  const WindowId window = slots_[slot].Window;
  bounceRestTop_ = window != kNoWindow ? platform_.windows.Bounds(window).top : 0;
  up_.Enable();
}

void Hover::StopBounce() {
  if (!Bouncing()) return;
  up_.Disable();
  down_.Disable();
  bounce_.Lift = 0;
  PlaceBouncing();
}

// A ring item rests at its slot, wherever the ring has been turned or moved
// since the bounce began; so the bounce never leaves it displaced.
int Hover::RestTop() const {
  if (bounceSlot_ >= 1 && bounceSlot_ <= catalogue::kRingSlots)
    return platform_.windows.Bounds(main_).top + slots_[bounceSlot_].OffsetY;
  return bounceRestTop_;
}

void Hover::PlaceBouncing() {
  if (bounceSlot_ < 1 || bounceSlot_ > catalogue::kSlotCount) return;
  const WindowId window = slots_[bounceSlot_].Window;
  if (window == kNoWindow) return;
  Rect bounds = platform_.windows.Bounds(window);
  bounds.top = RestTop() - bounce_.Lift;
  platform_.windows.SetBounds(window, bounds);
}

void Hover::Tick(BounceTimer ticking) {
  const BounceMove move = StepBounce(bounce_, ticking);
  if (move.dy != 0) PlaceBouncing();
  if (move.next == ticking) return;
  // The two timers hand over to each other; the last tick stops both.
  (ticking == BounceTimer::Up ? up_ : down_).Disable();
  if (move.next == BounceTimer::Up) up_.Enable();
  if (move.next == BounceTimer::Down) down_.Enable();
  if (move.next == BounceTimer::None) {
    up_.Disable();
    down_.Disable();
    if (bounceEnded_) bounceEnded_(bounceSlot_);
  }
}

}  // namespace qv::round
