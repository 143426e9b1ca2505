#include "catalogue/IconPropertyApply.h"

#include "catalogue/CatalogueSite.h"
#include "catalogue/IcoFile.h"
#include "catalogue/IconCache.h"
#include "config/ConfigDocument.h"
#include "round/Picture.h"
#include "round/PngLoader.h"

namespace qv::catalogue {

namespace {

std::string ConfigPathOf(const Platform& platform) { return platform.files.ProgramDir() + "Config\\UserInfo.xml"; }

pugi::xml_node ItemElement(const config::ConfigDocument& document, int slot) {
  const bool ring = slot <= kRingSlots;
  const pugi::xml_node list = config::FirstChild(document.Root(), ring ? "RoundBackground" : "RectBackground");
  return config::ChildAt(list, ring ? slot : slot - kRingSlots);
}

pugi::xml_node Child(pugi::xml_node parent, const char* name) {
  pugi::xml_node child = config::FirstChild(parent, name);
  return child ? child : parent.append_child(name);
}

}  // namespace

ItemProperties ReadItemProperties(const Platform& platform, const ItemSlots& slots, int slot) {
  config::ConfigDocument document(platform.files, platform.system, ConfigPathOf(platform));
  if (document.Load().status == config::LoadStatus::Ok) {
    if (const pugi::xml_node item = ItemElement(document, slot)) {
      return {config::IconPathInEffect(item), config::Text(config::FirstChild(item, "Name")),
              config::Text(config::FirstChild(item, "File")), config::Text(config::FirstChild(item, "Argument"))};
    }
  }
  const TImageIconRec& rec = slots[slot];
  return {rec.IconPath, rec.Hint, rec.File, rec.Argument};
}

bool ApplyItemProperties(Platform& platform, ItemSlots& slots, IItemWindows& windows, int slot,
                         const ItemProperties& values) {
  config::ConfigDocument document(platform.files, platform.system, ConfigPathOf(platform));
  if (document.Load().status != config::LoadStatus::Ok) return false;
  const pugi::xml_node item = ItemElement(document, slot);
  if (!item) return false;
  TImageIconRec& rec = slots[slot];

  // Folders, web addresses and missing files are not taken as targets.
  if (platform.files.FileExists(values.Target)) {
    config::SetText(Child(item, "File"), values.Target);
    rec.File = values.Target;
  }

  rec.Surface = round::LoadPremultipliedPng(platform.system, "ICONBACKGROUND");
  if (rec.Window != kNoWindow) platform.windows.PushLayered(rec.Window, rec.Surface, 255);
  rec.IconPath = values.IconPath;

  if (platform.files.FileExists(values.IconPath)) {
    const std::string extension = LowerExtension(values.IconPath);
    pugi::xml_node icon = Child(item, "IconPath");
    if (extension == ".ico") {
      config::SetText(Child(icon, "Default"), values.IconPath);
      windows.RequestIcoPaint(slot);
    } else if (extension == ".png") {
      // Default wins over Define at the next start: it must be emptied.
      config::SetText(Child(icon, "Default"), "");
      config::SetText(Child(icon, "Define"), values.IconPath);
      windows.DrawIconIntoSlot(slot, values.IconPath);
    }
  }

  config::SetText(Child(item, "Name"), values.Name);
  config::SetText(Child(item, "Argument"), values.Argument);
  rec.Hint = values.Name;
  rec.Argument = values.Argument;
  if (!document.Save()) {
    // TODO(report): the item's new values could not be saved.
    return false;
  }
  return true;
}

LayeredSurface LoadPropertyPreview(const IFileSystem& files, const std::string& path) {
  if (path.empty()) return {};
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {};
  if (LooksLikeIco(*bytes)) {
    const std::optional<IcoImage> ico = ReadIcoForDrawing(*bytes, 128);
    return ico ? ico->picture : LayeredSurface();
  }
  return round::LoadPictureBytes(*bytes);
}

ItemPropertyHooks MakeItemPropertyHooks(Platform& platform, ItemSlots& slots, IItemWindows& windows) {
  ItemPropertyHooks hooks;
  hooks.ItemWindow = [&slots](int slot) {
    return slot >= 1 && slot <= kSlotCount && !slots[slot].File.empty() ? slots[slot].Window : kNoWindow;
  };
  hooks.SlotOfItem = [&slots](WindowId item) {
    const int slot = SlotOfWindow(slots, item);
    return slot != 0 && !slots[slot].File.empty() ? slot : 0;
  };
  hooks.ReadItemProperties = [&platform, &slots](int slot) { return ReadItemProperties(platform, slots, slot); };
  hooks.ApplyItemProperties = [&platform, &slots, &windows](int slot, const ItemProperties& values) {
    ApplyItemProperties(platform, slots, windows, slot, values);
  };
  hooks.LoadPreview = [&platform](const std::string& path) { return LoadPropertyPreview(platform.files, path); };
  return hooks;
}

}  // namespace qv::catalogue
