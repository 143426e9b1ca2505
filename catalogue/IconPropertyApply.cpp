#include "catalogue/IconPropertyApply.h"

#include "catalogue/CatalogueSite.h"
#include "catalogue/IconCache.h"
#include "config/ItemFile.h"
#include "picture/DpiPictures.h"
#include "picture/IcoFile.h"
#include "picture/Picture.h"
#include "picture/PngLoader.h"

namespace qv::catalogue {

namespace {

constexpr int kItemSide = 50;  // an item window's side, logical

config::ItemList ListOf(int slot) { return slot <= kRingSlots ? config::ItemList::Ring : config::ItemList::Dock; }
int PositionOf(int slot) { return slot <= kRingSlots ? slot : slot - kRingSlots; }

}  // namespace

ItemProperties ReadItemProperties(Platform& platform, const ItemSlots& slots, int slot) {
  const config::ItemFile file(platform.files, platform.system, config::UserInfoPath(platform.files));
  if (const std::optional<config::ItemTexts> texts = file.ReadItem(ListOf(slot), PositionOf(slot)))
    return {config::IconInEffect(*texts), texts->Name, texts->File, texts->Argument};
  const TImageIconRec& rec = slots[slot];
  return {rec.IconPath, rec.Hint, rec.File, rec.Argument};
}

bool ApplyItemProperties(Platform& platform, ItemSlots& slots, IItemWindows& windows, int slot,
                         const ItemProperties& values, config::SaveFailures* saveFailures) {
  TImageIconRec& rec = slots[slot];
  const std::string what = "The properties of item " + std::to_string(slot);
  config::ItemEdit edit;
  edit.Name = values.Name;
  edit.Argument = values.Argument;
  // Folders, web addresses and missing files are not taken as targets.
  if (platform.files.FileExists(values.Target)) edit.File = values.Target;
  bool drawIco = false;
  bool drawPng = false;
  if (platform.files.FileExists(values.IconPath)) {
    const std::string extension = LowerExtension(values.IconPath);
    if (extension == ".ico") {
      edit.IconDefault = values.IconPath;
      drawIco = true;
    } else if (extension == ".png") {
      // Default wins over Define at the next start: it must be emptied.
      edit.IconDefault = "";
      edit.IconDefine = values.IconPath;
      drawPng = true;
    }
  }

  config::ItemFile file(platform.files, platform.system, config::UserInfoPath(platform.files));
  const config::EditResult result =
      file.EditItem(ListOf(slot), PositionOf(slot), edit, config::ItemIdentity{rec.File, rec.Hint});
  if (result == config::EditResult::NotLoaded || result == config::EditResult::NothingToChange) {
    platform.diagnostics.Report(Severity::Warning,
                                what + " were not applied: its element cannot be read (" + file.Path() + ")");
    return false;
  }
  // An element that holds another item by now keeps it (Mismatch); the item
  // shown here takes the values in memory, as after any failed save.
  if (edit.File) rec.File = *edit.File;
  const int dpi = platform.windows.Dpi();
  rec.Surface =
      picture::StretchTo(platform.canvas, picture::LoadPremultipliedPngForDpi(platform.system, "ICONBACKGROUND", dpi),
                         ScaleForDpi(kItemSide, dpi), ScaleForDpi(kItemSide, dpi));
  if (rec.Window != kNoWindow) platform.windows.PushLayered(rec.Window, rec.Surface, 255);
  rec.IconPath = values.IconPath;
  rec.Hint = values.Name;
  rec.Argument = values.Argument;
  if (drawIco) windows.RequestIcoPaint(slot);
  if (drawPng) windows.DrawIconIntoSlot(slot, values.IconPath);

  if (saveFailures) return saveFailures->Record(result, what);
  if (config::Failed(result)) {
    // The item shows its new values until the program ends; the next start
    // brings back the old ones, which the log explains.
    platform.diagnostics.Report(Severity::Error, what + " were not saved: " + config::Describe(result) + " (" +
                                                     file.Path() + ")");
    return false;
  }
  return true;
}

LayeredSurface LoadPropertyPreview(const IFileSystem& files, const std::string& path) {
  if (path.empty()) return {};
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {};
  if (picture::LooksLikeIco(*bytes)) {
    const std::optional<picture::IcoImage> ico = picture::ReadIcoForDrawing(*bytes, 128);
    return ico ? ico->picture : LayeredSurface();
  }
  return picture::LoadPictureBytes(*bytes);
}

// Every item with a window has properties, with or without a target: a
// dock placeholder or named software not installed is given one here.
WindowId CatalogueProperties::ItemWindow(int slot) const {
  return slot >= 1 && slot <= kSlotCount ? slots_[slot].Window : kNoWindow;
}

int CatalogueProperties::SlotOfItem(WindowId item) const { return SlotOfWindow(slots_, item); }

ItemProperties CatalogueProperties::ReadProperties(int slot) const { return ReadItemProperties(platform_, slots_, slot); }

LayeredSurface CatalogueProperties::LoadPreview(const std::string& path) const {
  return LoadPropertyPreview(platform_.files, path);
}

bool CatalogueProperties::EditProperties(int slot, const ItemProperties& values) {
  return ApplyItemProperties(platform_, slots_, windows_, slot, values, saveFailures_);
}

void CatalogueProperties::TellFailures() {
  if (saveFailures_) saveFailures_->TellPending();
}

}  // namespace qv::catalogue
