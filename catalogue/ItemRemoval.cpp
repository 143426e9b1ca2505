#include "catalogue/ItemRemoval.h"

#include <algorithm>
#include <utility>

#include "config/Backups.h"
#include "config/Texts.h"
#include "picture/DpiPictures.h"
#include "picture/PngLoader.h"

namespace qv::catalogue {

namespace {

constexpr int kItemSide = 50;

}  // namespace

ItemRemoval::ItemRemoval(CatalogueSite& site, FormTimer& clearMemory)
    : site_(site),
      clearMemory_(clearMemory),
      timerDestroyIcon_(site.platform.timers, TimerDestroyIcon, kIntervalDestroyIcon),
      timerClearIcon_(site.platform.timers, TimerClearIcon, kIntervalClearIcon) {}

bool ItemRemoval::Animates(WindowId window) const {
  if (window == kNoWindow || !Animating()) return false;
  if (destroy_ && destroy_->window == window) return true;
  return std::find(clearing_.begin(), clearing_.end(), window) != clearing_.end();
}

LayeredSurface ItemRemoval::Frame(const std::string& resource, Size logical) const {
  // A missing frame shows nothing rather than shrinking the window away.
  const int dpi = site_.platform.windows.Dpi();
  return picture::StretchTo(site_.platform.canvas,
                            picture::LoadPremultipliedPngForDpi(site_.platform.system, resource, dpi),
                            ScaleForDpi(logical.width, dpi), ScaleForDpi(logical.height, dpi));
}

// ---- the destroy animation ----

bool ItemRemoval::RequestDestroy(WindowId window) {
  if (Animating()) return false;
  const int slot = SlotOfWindow(site_.slots, window);
  if (slot == 0) return false;
  config::TakeProtectedBackup(site_.platform.files, site_.platform.system, site_.ConfigPath());
  destroy_ = DestroyRequest{window, slot};
  animationFrame_ = 1;
  timerDestroyIcon_.Enable();
  return true;
}

void ItemRemoval::DeleteItem(WindowId activeIconWindow) {
  const int slot = SlotOfWindow(site_.slots, activeIconWindow);
  if (slot == 0) return;
  if (slot <= kRingSlots) {
    RequestDestroy(activeIconWindow);
    return;
  }
  // The dock item being dragged off is removed by its animation.
  if (Animates(activeIconWindow)) return;
  RemoveRectSlot(slot, RemovalVariant::Menu);
}

void ItemRemoval::TimerDestroyIconTimer() {
  if (!destroy_) {
    timerDestroyIcon_.Disable();
    return;
  }
  if (SlotOfWindow(site_.slots, destroy_->window) == 0) {
    // The item went another way meanwhile; there is nothing left to remove.
    timerDestroyIcon_.Disable();
    animationFrame_ = 0;
    destroy_.reset();
    return;
  }
  if (animationFrame_ <= kDestroyFrames) {
    // Counted before pushing: the push may run pending messages.
    const int frame = animationFrame_++;
    // At the size the item has: a dock item taken from the magnified row is
    // larger than a ring item, and the frames fill it as its picture did.
    const Rect bounds = site_.platform.windows.Bounds(destroy_->window);
    const Size size = bounds.width > 0 && bounds.height > 0 ? Size{bounds.width, bounds.height} : Size{kItemSide, kItemSide};
    site_.platform.windows.PushLayered(destroy_->window, Frame("DestroyPNG" + std::to_string(frame), size), 255);
    return;
  }
  timerDestroyIcon_.Disable();
  animationFrame_ = 0;
  const DestroyRequest request = *destroy_;
  destroy_.reset();
  RemoveDestroyed(request);
}

void ItemRemoval::RemoveDestroyed(const DestroyRequest& request) {
  const int slot = SlotOfWindow(site_.slots, request.window);
  if (slot == 0) return;
  if (slot <= kRingSlots) {
    RemoveRingSlot(slot);
  } else {
    RemoveRectSlot(slot, RemovalVariant::Drag);
  }
}

// A ring slot keeps its place and its element, emptied, for the next drop.
void ItemRemoval::RemoveRingSlot(int slot) {
  TImageIconRec& record = site_.slots[slot];
  const WindowId window = record.Window;
  const config::ItemIdentity removed{record.File, record.Hint};
  ClearRecord(record);
  if (window != kNoWindow) {
    site_.slots.Windows().Remove(window);
    site_.platform.windows.DestroyWindow(window);
  }

  site_.Check(site_.File().EmptyRingItem(slot, removed), "Removing the item of ring place " + std::to_string(slot));
  site_.NotifyItemsChanged();
}

// ---- the dock ----

void ItemRemoval::RemoveRectSlot(int slot, RemovalVariant variant) {
  const int last = kRingSlots + site_.slots.DockCount();
  if (slot <= kRingSlots || slot > last) return;

  const config::ItemIdentity removed{site_.slots[slot].File, site_.slots[slot].Hint};
  // The removed window goes first, so that no two windows ever share a name.
  if (const WindowId gone = site_.slots[slot].Window; gone != kNoWindow) {
    site_.slots.Windows().Remove(gone);
    site_.platform.windows.DestroyWindow(gone);
  }
  for (int s = slot; s < last; ++s) {
    site_.slots[s] = std::move(site_.slots[s + 1]);
    if (const WindowId moved = site_.slots[s].Window; moved != kNoWindow) {
      site_.platform.windows.SetName(moved, "Rect" + std::to_string(s - kRingSlots));
      site_.slots.Windows().MoveItem(moved, s);
    }
  }
  ClearRecord(site_.slots[last]);
  site_.slots.SetDockCount(site_.slots.DockCount() - 1);

  const int position = slot - kRingSlots;
  site_.Check(site_.File().RemoveDockItem(position, removed), "Removing the item of dock place " + std::to_string(position));
  if (site_.dockBar) site_.dockBar->ItemRemoved(variant);
  site_.NotifyItemsChanged();
}

// ---- clearing the ring ----

void ItemRemoval::NClearClick() {
  if (Animating()) return;
  const MessageBoxResult answer = site_.platform.dialogs.MessageBox(
      config::Tr(config::TextKey::ClearQuestion), config::Tr(config::TextKey::BoxCaption), MessageBoxButtons::YesNo,
      MessageBoxIcon::Information);
  // The question runs its own message loop: an animation may have begun meanwhile.
  if (answer != MessageBoxResult::Yes || Animating()) return;
  config::TakeProtectedBackup(site_.platform.files, site_.platform.system, site_.ConfigPath());
  clearing_.clear();
  for (int slot = 1; slot <= kRingSlots; ++slot)
    if (site_.slots[slot].Window != kNoWindow) clearing_.push_back(site_.slots[slot].Window);
  animationFrame_ = 1;
  timerClearIcon_.Enable();
  clearMemory_.Enable();
}

void ItemRemoval::TimerClearIconTimer() {
  if (!Animating() || destroy_) {
    timerClearIcon_.Disable();
    return;
  }
  if (animationFrame_ <= kClearFrames) {
    const int frame = animationFrame_++;
    const LayeredSurface picture = Frame("ClearPNG" + std::to_string(frame));
    for (const WindowId window : clearing_) {
      const int slot = SlotOfWindow(site_.slots, window);
      if (slot >= 1 && slot <= kRingSlots) site_.platform.windows.PushLayered(window, picture, 255);
    }
    return;
  }
  timerClearIcon_.Disable();
  animationFrame_ = 0;
  RemoveClearedItems();
}

void ItemRemoval::RemoveClearedItems() {
  std::vector<WindowId> windows;
  windows.swap(clearing_);
  for (const WindowId window : windows) {
    const int slot = SlotOfWindow(site_.slots, window);
    if (slot < 1 || slot > kRingSlots) continue;
    ClearRecord(site_.slots[slot]);
    site_.slots.Windows().Remove(window);
    site_.platform.windows.DestroyWindow(window);
  }

  // Every free place is emptied in the file, also the ones that were free
  // already; an item dropped during the animation keeps its element.
  std::vector<int> free;
  for (int slot = 1; slot <= kRingSlots; ++slot) {
    const TImageIconRec& record = site_.slots[slot];
    if (record.File.empty() && record.Window == kNoWindow) free.push_back(slot);
  }
  site_.Check(site_.File().EmptyRingItems(free), "Clearing the ring");
  site_.NotifyItemsChanged();
}

}  // namespace qv::catalogue
