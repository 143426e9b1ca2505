#pragma once

// The pointer and key handlers that every window of the round presentation
// shares. They tell the windows apart by the window table: the main form,
// the ring skin, the center button, the items and the label window. A press
// captures the pointer, so the release always reaches the window pressed; an
// item being dragged follows the pointer on every move.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ItemInput.h"
#include "catalogue/ItemSlots.h"
#include "config/LoadResult.h"
#include "config/SaveFailures.h"
#include "config/Settings.h"
#include "platform/FormTimer.h"
#include "platform/Keys.h"
#include "platform/Platform.h"
#include "round/Hover.h"
#include "round/Rotation.h"

namespace qv::round {

class RoundPresentation;

// The ring's windows; the dock's are none of its concern (Other).
enum class WindowKind { MainForm, Background, Center, Item, Hint, Other };
WindowKind KindOfPlace(const std::optional<catalogue::WindowPlace>& place);

enum class KeyAction { None, RotateBackward, RotateForward, ChangeBackground, ChangeCenter };
KeyAction KeyActionOf(Key key);

// The ring area an item may be dropped in: a circle around the ring centre
// whose radius is the larger of half the ring skin and the outer ring's
// reach (MinR + SeparationSize + 80). Squares are compared in 64 bits.
std::int64_t RingAreaLimitSquared(int backgroundWidth, int minR, int separationSize);
bool InsideRingArea(Point drop, Point centre, int backgroundWidth, int minR, int separationSize);

// An occupied ring slot as a dropped item sees it.
struct ExchangeCandidate {
  int slot = 0;
  std::string name;
  Point topLeft;
};
// The first candidate, in slot order, whose window is not the dragged one and
// lies less than 20 pixels from it in both directions; 0 when none does.
int FindExchangeTarget(const std::vector<ExchangeCandidate>& occupied, const std::string& draggedName,
                       Point draggedTopLeft);

// What the handlers ask of the rest of the main form.
class IRingHost {
 public:
  virtual ~IRingHost() = default;
  // The center button's command, chosen in the settings.
  virtual void RunCenterCommand() = 0;
  virtual void MinimizeToTray() = 0;
  // The start-up step has loaded the items: hovering answers from then on.
  virtual bool IconsLoaded() const = 0;
  // Two items exchanged their places: what is bound to an item follows it.
  virtual void ItemsChanged() = 0;
};

// The main form's state the handlers work on.
struct InteractionContext {
  Platform& platform;
  config::Settings& settings;
  catalogue::ItemSlots& slots;
  RoundPresentation& round;
  WindowId mainWindow;
  FormTimer& clearMemory;
  std::string configPath;
  // Every save's result goes here.
  config::SaveFailures& saveFailures;
};

class Interaction final : public catalogue::ILaunch {
 public:
  Interaction(const InteractionContext& context, IRingHost& host, catalogue::IThrowOut& throwOut);
  Interaction(const Interaction&) = delete;
  Interaction& operator=(const Interaction&) = delete;

  void MouseDown(const PointerEvent& e);
  void MouseMove(const PointerEvent& e);
  void MouseUp(const PointerEvent& e);
  void MouseEnter(WindowId window);
  void MouseLeave(WindowId window);
  void MouseWheel(WindowId window, int notches);
  void KeyDown(WindowId window, Key key);
  // TimerRotation and the two bounce timers; false for any other timer.
  bool OnTimer(int id);

  // A click on an item of either presentation (launch, then hide or
  // bounce) or on the center button.
  void LaunchItem(WindowId sender) override;
  void HoldStill(WindowId item) override;

  // The label window, created at the end of the start-up step.
  void CreateHintWindow(WindowLayer layer, const std::string& fontDefine);
  void CloseHintWindow();
  WindowId HintWindowId() const { return hover_.HintWindowId(); }

  // The window of the last release (the item menu's commands act on it).
  WindowId ActiveIconWindow() const { return activeIconWindow_; }
  Point DragOrigin() const { return dragOrigin_; }
  WindowId CarriedWindow() const { return carry_.window; }
  Rotation& RotationState() { return rotation_; }
  Hover& HoverState() { return hover_; }

 private:
  bool Moved(WindowId window) const;
  bool Animates(WindowId window) const { return throwOut_.Animates(window); }
  void MoveRing(int dx, int dy);
  void DropRoundItem(WindowId window, Point client);
  void PutBack(WindowId window);
  void Exchange(int source, int target);
  int SlotOfItem(WindowId window) const;
  WindowKind KindOf(WindowId window) const { return KindOfPlace(slots_.Windows().Lookup(window)); }

  Platform& platform_;
  config::Settings& settings_;
  catalogue::ItemSlots& slots_;
  RoundPresentation& round_;
  WindowId main_;
  FormTimer& clearMemory_;
  std::string configPath_;
  config::SaveFailures& saveFailures_;
  IRingHost& host_;
  catalogue::IThrowOut& throwOut_;
  Rotation rotation_;
  Hover hover_;

  Point dragOrigin_;              // DragOrigin
  WindowId pressed_ = kNoWindow;  // the window of the left press, holding the capture
  catalogue::Carry carry_;  // an item following the pointer
  bool ringPressed_ = false;      // the ring skin was pressed: moving the pointer moves the ring
  WindowId activeIconWindow_ = kNoWindow;
};

}  // namespace qv::round
