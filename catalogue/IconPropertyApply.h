#pragma once

// The property dialog's reach into the catalogue: reading an item's values
// from its element, and ApplyItemProperties, which writes the element, the
// slot record and the window and redraws the picture.

#include "catalogue/IconProperty.h"
#include "catalogue/ItemSlots.h"
#include "catalogue/LoadEntry.h"
#include "config/SaveFailures.h"
#include "platform/Platform.h"

namespace qv::catalogue {

// The item's values from its element: IconPath/Default, or IconPath/Define
// when Default is empty. Without a readable file, what the record holds.
ItemProperties ReadItemProperties(Platform& platform, const ItemSlots& slots, int slot);

// Changes nothing (false) without a readable file. An element that no
// longer holds the item the slot shows is left alone. Otherwise: an existing
// file (not a folder) becomes the target, also of an item that had none; the item shows
// the bare plate; an existing .ico becomes IconPath/Default and is drawn, an
// existing .png becomes IconPath/Define with Default emptied and is drawn;
// name and arguments are taken over; the file is saved. A failure is
// recorded in saveFailures when given (told later), else logged.
bool ApplyItemProperties(Platform& platform, ItemSlots& slots, IItemWindows& windows, int slot,
                         const ItemProperties& values, config::SaveFailures* saveFailures = nullptr);

// A preview of a .png or .ico file, up to 128 pixels; empty when it cannot be loaded.
LayeredSurface LoadPropertyPreview(const IFileSystem& files, const std::string& path);

// The items and their edits as the property dialog sees them.
class CatalogueProperties final : public IPropertyItems, public IPropertyEdits {
 public:
  CatalogueProperties(Platform& platform, ItemSlots& slots, IItemWindows& windows,
                      config::SaveFailures* saveFailures = nullptr)
      : platform_(platform), slots_(slots), windows_(windows), saveFailures_(saveFailures) {}

  WindowId ItemWindow(int slot) const override;
  int SlotOfItem(WindowId item) const override;
  ItemProperties ReadProperties(int slot) const override;
  LayeredSurface LoadPreview(const std::string& path) const override;
  bool EditProperties(int slot, const ItemProperties& values) override;
  void TellFailures() override;

 private:
  Platform& platform_;
  ItemSlots& slots_;
  IItemWindows& windows_;
  config::SaveFailures* saveFailures_;
};

}  // namespace qv::catalogue
