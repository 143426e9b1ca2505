#pragma once

// The one place where items come and go outside the start: a drop, a system
// tool from the settings, a property edit, two ring items exchanged. Each changes the slot record, the
// window table and the item windows, the configuration file and the dock bar
// together, in an order that leaves them in agreement before anything that
// runs a loop (drawing a picture, telling a failed save).

#include <string>

#include "catalogue/CatalogueSite.h"
#include "catalogue/IItemOperations.h"
#include "catalogue/ItemInput.h"
#include "catalogue/ItemRemoval.h"

namespace qv::catalogue {

// Where the next item goes; 0 when the ring, or the dock, is full. A ring
// place with a window is taken even without a target: a named program that
// is installed without its folder in the registry is still on screen. The
// dock's slots follow the elements of its list one to one.
int FirstFreeRingSlot(const ItemSlots& slots);
int NextDockSlot(const ItemSlots& slots);

class ItemOperations final : public IItemOperations, public IExchange {
 public:
  ItemOperations(CatalogueSite& site, ItemRemoval& removal) : site_(site), removal_(removal) {}
  ItemOperations(const ItemOperations&) = delete;
  ItemOperations& operator=(const ItemOperations&) = delete;

  // A new item from its element's texts; `picture` is the picture in effect
  // (its path as the record holds it). It shows that picture when its target
  // is there and the file exists, else the placeholder. The slot it took; 0
  // when that side is full. `what` names the change in a failed save's message.
  int AddToRing(const config::ItemTexts& texts, const std::string& picture, const std::string& what);
  int AppendToDock(const config::ItemTexts& texts, const std::string& picture, const std::string& what);

  // IItemOperations
  bool AddSystemTool(Presentation side, const ToolItem& tool) override;
  bool RemoveSystemTool(Presentation side, const std::string& target) override;
  bool EditProperties(int slot, const ItemProperties& values) override;
  // IExchange
  void ExchangeRingItems(int source, int target, Point ringOrigin) override;

 private:
  bool FileReadable() const;
  void Fill(int slot, const config::ItemTexts& texts, const std::string& picture);
  void ShowPicture(int slot);

  CatalogueSite& site_;
  ItemRemoval& removal_;
};

}  // namespace qv::catalogue
