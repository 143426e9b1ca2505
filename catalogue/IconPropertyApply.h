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

// Without a readable file nothing changes (false). Otherwise: an existing
// file (not a folder) becomes the target; the item shows the bare plate; an
// existing .ico becomes IconPath/Default and is drawn, an existing .png
// becomes IconPath/Define with Default emptied and is drawn; name and
// arguments are taken over; the file is saved. A save that fails is told
// through saveFailures when given, else logged.
bool ApplyItemProperties(Platform& platform, ItemSlots& slots, IItemWindows& windows, int slot,
                         const ItemProperties& values, config::SaveFailures* saveFailures = nullptr);

// A preview of a .png or .ico file, up to 128 pixels; empty when it cannot be loaded.
LayeredSurface LoadPropertyPreview(const IFileSystem& files, const std::string& path);

ItemPropertyHooks MakeItemPropertyHooks(Platform& platform, ItemSlots& slots, IItemWindows& windows,
                                        config::SaveFailures* saveFailures = nullptr);

}  // namespace qv::catalogue
