#pragma once

// Items leaving the catalogue. A ring item plays the destroy animation in its
// own window and is then removed: its slot and its element are emptied in
// place. A dock item goes at once from the menu, or after the same animation
// when it was dragged off the bar; the items behind it move down one slot.
// Clearing plays a second animation in every ring window and then empties
// the whole ring. Every removal changes records, windows and file together.
//
// One animation runs at a time. A delete or clear asked for while one runs
// is refused, so that no animation restarts or removes twice.

#include <optional>
#include <string>
#include <vector>

#include "platform/FormTimer.h"
#include "catalogue/CatalogueSite.h"
#include "catalogue/ItemInput.h"

namespace qv::catalogue {

inline constexpr unsigned kIntervalDestroyIcon = 40;
inline constexpr unsigned kIntervalClearIcon = 30;
inline constexpr int kDestroyFrames = 5;  // "DestroyPNG1" .. "DestroyPNG5"
inline constexpr int kClearFrames = 6;    // "ClearPNG1" .. "ClearPNG6"

// The item a destroy animation plays in and then removes. The window is the
// binding, not ActiveIconWindow and not the slot: a release on another item
// during the animation, or an exchange of places, cannot move the removal
// to another item.
struct DestroyRequest {
  WindowId window = kNoWindow;
  int slot = 0;  // where the item was when the request was made
};

class ItemRemoval final : public IThrowOut {
 public:
  ItemRemoval(CatalogueSite& site, FormTimer& clearMemory);
  ItemRemoval(const ItemRemoval&) = delete;
  ItemRemoval& operator=(const ItemRemoval&) = delete;

  // An item thrown out of the ring or dragged off the bar: AnimationFrame
  // := 1 and TimerDestroyIcon starts; the item goes after the fifth frame.
  // Returns false, changing nothing, for a window that holds no item and
  // while either animation runs.
  bool RequestDestroy(WindowId window) override;

  // The item menus' delete, on ActiveIconWindow: a dock item goes at once,
  // a ring item through the destroy animation.
  void DeleteItem(WindowId activeIconWindow);

  // Asks before clearing the ring; on Yes plays the clear animation in the
  // ring windows of that moment and then removes their items.
  void NClearClick();

  void TimerDestroyIconTimer();
  void TimerClearIconTimer();

  // Removes the dock item of `slot` (21 .. 20 + DockCount) and closes the gap.
  void RemoveRectSlot(int slot, RemovalVariant variant);
  // Empties the ring place of `slot`, its record and its element; the place keeps its offsets.
  void RemoveRingSlot(int slot);

  int AnimationFrame() const { return animationFrame_; }
  bool Animating() const { return animationFrame_ != 0; }
  // The window is showing animation frames; hover feedback leaves it alone.
  bool Animates(WindowId window) const override;
  const std::optional<DestroyRequest>& PendingDestroy() const { return destroy_; }

 private:
  // A frame at the logical size given (an item's 50 x 50 unless said).
  LayeredSurface Frame(const std::string& resource, Size logical = {50, 50}) const;
  void RemoveDestroyed(const DestroyRequest& request);
  void RemoveClearedItems();

  CatalogueSite& site_;
  FormTimer& clearMemory_;
  FormTimer timerDestroyIcon_;
  FormTimer timerClearIcon_;
  int animationFrame_ = 0;
  std::optional<DestroyRequest> destroy_;
  std::vector<WindowId> clearing_;  // the ring windows the clear was confirmed for
};

}  // namespace qv::catalogue
