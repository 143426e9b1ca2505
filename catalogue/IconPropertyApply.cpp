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
  config::ItemFile file(platform.files, platform.system, config::UserInfoPath(platform.files));
  if (!file.ReadItem(ListOf(slot), PositionOf(slot))) {
    platform.diagnostics.Report(Severity::Warning, "The properties of item " + std::to_string(slot) +
                                                       " were not applied: its element cannot be read (" + file.Path() +
                                                       ")");
    return false;
  }
  TImageIconRec& rec = slots[slot];
  config::ItemEdit edit;
  edit.Name = values.Name;
  edit.Argument = values.Argument;

  // Folders, web addresses and missing files are not taken as targets.
  if (platform.files.FileExists(values.Target)) {
    edit.File = values.Target;
    rec.File = values.Target;
  }

  const int dpi = platform.windows.Dpi();
  rec.Surface =
      picture::StretchTo(platform.canvas, picture::LoadPremultipliedPngForDpi(platform.system, "ICONBACKGROUND", dpi),
                         ScaleForDpi(kItemSide, dpi), ScaleForDpi(kItemSide, dpi));
  if (rec.Window != kNoWindow) platform.windows.PushLayered(rec.Window, rec.Surface, 255);
  rec.IconPath = values.IconPath;

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
  rec.Hint = values.Name;
  rec.Argument = values.Argument;
  if (drawIco) windows.RequestIcoPaint(slot);
  if (drawPng) windows.DrawIconIntoSlot(slot, values.IconPath);

  const config::EditResult result = file.EditItem(ListOf(slot), PositionOf(slot), edit);
  if (saveFailures) return saveFailures->Check(result, "The properties of item " + std::to_string(slot));
  if (config::Failed(result)) {
    // The item shows its new values until the program ends; the next start
    // brings back the old ones, which the log explains.
    platform.diagnostics.Report(Severity::Error, "The properties of item " + std::to_string(slot) +
                                                     " were not saved: " + config::Describe(result) + " (" +
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

ItemPropertyHooks MakeItemPropertyHooks(Platform& platform, ItemSlots& slots, IItemWindows& windows,
                                        config::SaveFailures* saveFailures) {
  ItemPropertyHooks hooks;
  hooks.ItemWindow = [&slots](int slot) {
    return slot >= 1 && slot <= kSlotCount && !slots[slot].File.empty() ? slots[slot].Window : kNoWindow;
  };
  hooks.SlotOfItem = [&slots](WindowId item) {
    const int slot = SlotOfWindow(slots, item);
    return slot != 0 && !slots[slot].File.empty() ? slot : 0;
  };
  hooks.ReadItemProperties = [&platform, &slots](int slot) { return ReadItemProperties(platform, slots, slot); };
  hooks.ApplyItemProperties = [&platform, &slots, &windows, saveFailures](int slot, const ItemProperties& values) {
    ApplyItemProperties(platform, slots, windows, slot, values, saveFailures);
  };
  hooks.LoadPreview = [&platform](const std::string& path) { return LoadPropertyPreview(platform.files, path); };
  return hooks;
}

}  // namespace qv::catalogue
