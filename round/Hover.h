#pragma once

// How the ring items answer the pointer besides launching: the item under the
// pointer dims and shows its name in the label window, and a launched item
// bounces (up 16 pixels, down 16, up 11, down 11, back where it started).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "catalogue/ItemSlots.h"
#include "config/Settings.h"
#include "platform/FormTimer.h"
#include "platform/Platform.h"
#include "round/HintWindow.h"

namespace qv::round {

inline constexpr std::uint8_t kHoverAlpha = 200;
inline constexpr std::uint8_t kRestAlpha = 255;
inline constexpr unsigned kWobbleUpIntervalMs = 5;
inline constexpr unsigned kWobbleDownIntervalMs = 2;

// The ring slot n (1..20) whose window is named "Circle" + n; 0 for any other name.
int RoundSlotOfWindowName(const std::string& name);

enum class BounceTimer { None, Up, Down };

struct BounceState {
  int BouncePhase = 1;  // 1: the high jump, 2: the low one
  int BounceStep = 0;
  int Lift = 0;  // pixels above the resting place
};

// One tick of the timer that runs: the pixels the window moves down (-1 up,
// +1 down, 0 on a tick that hands over) and the timer that runs next.
struct BounceMove {
  int dy = 0;
  BounceTimer next = BounceTimer::None;
};
BounceMove StepBounce(BounceState& state, BounceTimer ticking);

class Hover {
 public:
  // iconsLoaded: whether the start-up step has loaded the items (the main
  // form's IconsLoaded); until then nothing lights up.
  Hover(Platform& platform, const config::Settings& settings, catalogue::ItemSlots& slots, WindowId mainWindow,
        std::function<bool()> iconsLoaded);
  Hover(const Hover&) = delete;
  Hover& operator=(const Hover&) = delete;

  // The label window: created at the end of the start-up step, closed at shutdown.
  void CreateHintWindow(WindowLayer layer, const std::string& fontDefine);
  void CloseHintWindow();
  HintWindow* Hint() { return hint_.get(); }
  WindowId HintWindowId() const { return hint_ ? hint_->Window() : kNoWindow; }

  void MouseEnter(WindowId window);
  // Undims the window left. The label goes only with the item it was shown
  // for: the system may tell the leave of one window after the enter of the
  // next, and that late leave must not empty the new item's label.
  void MouseLeave(WindowId window);
  void ClearHintText();
  // The item window whose name the label shows; kNoWindow when it shows none.
  WindowId LabelOwner() const { return labelOwner_; }
  bool HoverActive() const { return hoverActive_; }
  void ClearHoverActive() { hoverActive_ = false; }

  void StartBounce(int slot);
  // Stops a bounce under way and puts its item back at its resting place.
  void StopBounce();
  bool Bouncing() const { return up_.Enabled() || down_.Enabled(); }
  int BounceSlot() const { return bounceSlot_; }
  void TimerIconWobbleUp() { Tick(BounceTimer::Up); }
  void TimerIconWobbleDown() { Tick(BounceTimer::Down); }
  // Runs when a bounce has ended, with its slot: the dock's check of the pointer.
  void SetBounceEnded(std::function<void(int)> ended) { bounceEnded_ = std::move(ended); }

 private:
  void Tick(BounceTimer ticking);
  int RestTop() const;
  void PlaceBouncing();

  Platform& platform_;
  const config::Settings& settings_;
  catalogue::ItemSlots& slots_;
  WindowId main_;
  std::function<bool()> iconsLoaded_;
  std::unique_ptr<HintWindow> hint_;
  bool hoverActive_ = false;
  WindowId labelOwner_ = kNoWindow;

  FormTimer up_;
  FormTimer down_;
  BounceState bounce_;
  int bounceSlot_ = 0;
  int bounceRestTop_ = 0;  // dock items: where the bounce started
  std::function<void(int)> bounceEnded_;
};

}  // namespace qv::round
