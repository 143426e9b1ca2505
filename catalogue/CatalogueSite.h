#pragma once

// What adding and removing items reaches: the slot table (with the dock's
// item count and the window table), the item windows, the dock bar and the
// configuration file. The main form hands this view to the drop and removal
// code.

#include <string>

#include "catalogue/ItemSlots.h"
#include "catalogue/LoadEntry.h"
#include "config/ItemFile.h"
#include "config/SaveFailures.h"
#include "platform/Platform.h"

namespace qv::catalogue {

// The menu's delete closes the gap at once; a drag off the bar has played
// the destroy animation first and returns the bar to rest.
enum class RemovalVariant { Menu, Drag };

// The dock bar "RectForm" as the catalogue sees it. The bar reacts to items
// coming and going; the records, windows and file are already changed.
class IDockBar {
 public:
  virtual ~IDockBar() = default;
  // The bar window on screen: a drop whose point lies inside goes to the dock.
  virtual Rect BarBounds() const = 0;
  // The item of `slot` was appended at the end of the row (the item count
  // includes it): widen the bar by one item and re-place the row. `pointer`
  // is the pointer now; away from the bar's inner area the bar goes to rest.
  virtual void ItemAppended(int slot, Point pointer) = 0;
  // An item left the row and the items behind it moved down one slot (the
  // item count no longer includes it): shrink the bar and re-place the row.
  virtual void ItemRemoved(RemovalVariant variant) = 0;
};

// Whatever is bound to an item, such as an open property dialog, hears that
// items left their slots or moved (a delete, a clear, the dock closing its
// gap, an edit) and checks that its item is still there.
class IItemsWatcher {
 public:
  virtual ~IItemsWatcher() = default;
  virtual void ItemsChanged() = 0;
};

struct CatalogueSite {
  Platform& platform;
  ItemSlots& slots;
  IItemWindows& windows;
  IDockBar* dockBar = nullptr;  // none until the dock bar is built
  // Where a change that reached memory but not the file is told; without
  // one it goes to the log alone.
  config::SaveFailures* saveFailures = nullptr;
  IItemsWatcher* watcher = nullptr;

  void NotifyItemsChanged() const {
    if (watcher) watcher->ItemsChanged();
  }

  std::string ConfigPath() const { return config::UserInfoPath(platform.files); }
  config::ItemFile File() const { return {platform.files, platform.system, ConfigPath()}; }
  // A change that reached memory but not the file.
  void Check(config::EditResult result, const std::string& what) const;
};

// The slot whose record holds this window; 0 for none. Looked up by the
// window itself, not its name: names move when items exchange places.
int SlotOfWindow(const ItemSlots& slots, WindowId window);

// A free slot: no target, no window, no picture. Ring slots keep their
// offsets, which belong to the place, not to the item.
void ClearRecord(TImageIconRec& record);

}  // namespace qv::catalogue
