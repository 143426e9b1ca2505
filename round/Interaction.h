#pragma once

// The pointer and key handlers that every window of the round presentation
// shares. They tell the windows apart by the window table: the main form,
// the ring skin, the center button, the items and the label window. A press
// captures the pointer, so the release always reaches the window pressed; an
// item being dragged follows the pointer on every move.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ItemSlots.h"
#include "config/LoadResult.h"
#include "config/Settings.h"
#include "platform/FormTimer.h"
#include "platform/Platform.h"
#include "round/Hover.h"
#include "round/Rotation.h"

namespace qv::round {

class RoundPresentation;

enum class WindowKind { MainForm, Background, Center, RoundItem, RectBar, RectItem, Hint, Other };
WindowKind KindOfPlace(const std::optional<catalogue::WindowPlace>& place);

enum class KeyAction { None, RotateBackward, RotateForward, ChangeBackground, ChangeCenter };
KeyAction KeyActionOf(unsigned virtualKey);

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
struct InteractionHooks {
  std::function<void()> RaiseRoundWindows;
  std::function<void()> RaiseRectWindows;
  std::function<void()> MinimizeToTray;
  // The center button's command, chosen in the settings.
  std::function<void()> CenterCommand;
  // The destroy request for an item thrown out of the ring: the removal code
  // plays the frames in its window, then empties its slot. False when it
  // refuses (another animation runs); the item then goes back.
  std::function<bool(WindowId)> RequestDestroy;
  // The window is playing a removal animation and no longer answers hovering.
  std::function<bool(WindowId)> Animates;
  // The start-up step has loaded the items (IconsLoaded): hovering answers from then on.
  std::function<bool()> IconsLoaded;
  // Saving the file failed: the change lives in memory only.
  std::function<void(const std::string&)> Report;
  // Every save's result goes here when set (Report is then not used).
  std::function<void(config::EditResult, const std::string& what)> CheckSave;
  // Two items exchanged their places: what is bound to an item follows it.
  std::function<void()> ItemsChanged;
  // The dock's magnification: the pointer moved over the bar or a dock item.
  std::function<void(Point)> RectPointerMoved;
  // The pointer left a window of the dock.
  std::function<void()> RectPointerLeft;
  // A dock item dropped at this screen point goes back to its place; anywhere
  // else it is removed.
  std::function<bool(Point)> InsideRectBar;
  // A dock item given back after a drag goes where the row has it now: the
  // row may have gone to rest or moved while the item was carried.
  std::function<void(int slot)> PlaceRectItem;
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
};

class Interaction {
 public:
  Interaction(const InteractionContext& context, InteractionHooks hooks);
  Interaction(const Interaction&) = delete;
  Interaction& operator=(const Interaction&) = delete;

  void MouseDown(const PointerEvent& e);
  void MouseMove(const PointerEvent& e);
  void MouseUp(const PointerEvent& e);
  void MouseEnter(WindowId window);
  void MouseLeave(WindowId window);
  void MouseWheel(WindowId window, int notches);
  void KeyDown(WindowId window, unsigned virtualKey);
  // TimerRotation and the two bounce timers; false for any other timer.
  bool OnTimer(int id);

  // A click on an item (launch, then hide or bounce) or on the center button.
  void LaunchItem(WindowId sender);

  // The label window, created at the end of the start-up step.
  void CreateHintWindow(WindowLayer layer, const std::string& fontDefine);
  void CloseHintWindow();
  WindowId HintWindowId() const { return hover_.HintWindowId(); }

  // The window of the last release (the item menu's commands act on it).
  WindowId ActiveIconWindow() const { return activeIconWindow_; }
  Point DragOrigin() const { return dragOrigin_; }
  WindowId CarriedWindow() const { return carried_; }
  Rotation& RotationState() { return rotation_; }
  Hover& HoverState() { return hover_; }

 private:
  bool Moved(WindowId window) const;
  bool Animates(WindowId window) const { return hooks_.Animates && hooks_.Animates(window); }
  void MoveRing(int dx, int dy);
  void DropRoundItem(WindowId window, Point client);
  void DropRectItem(WindowId window, Point client);
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
  InteractionHooks hooks_;
  Rotation rotation_;
  Hover hover_;

  Point dragOrigin_;              // DragOrigin
  WindowId pressed_ = kNoWindow;  // the window of the left press, holding the capture
  WindowId carried_ = kNoWindow;  // an item following the pointer
  Point carryOffset_;             // where in the item the pointer took hold of it
  bool ringPressed_ = false;      // the ring skin was pressed: moving the pointer moves the ring
  WindowId activeIconWindow_ = kNoWindow;
};

}  // namespace qv::round
