#include "catalogue/LoadEntry.h"

#include <algorithm>
#include <cctype>

namespace qv::catalogue {

namespace {

std::string LowerExtension(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\/:");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

std::string HelpPicture(const Platform& platform) { return platform.files.ProgramDir() + "Icon\\SysTool\\Help.png"; }

void ShowPicture(int slot, const std::string& picture, IItemWindows& windows) {
  if (picture.empty()) {
    windows.RequestIcoPaint(slot);
  } else {
    windows.DrawIconIntoSlot(slot, picture);
  }
}

void CreateWindowFor(int slot, IItemWindows& windows) {
  if (slot <= kRingSlots) {
    windows.CreateRoundIconWindow(slot);
  } else {
    windows.CreateRectIconWindow(slot);
  }
}

}  // namespace

bool IsPresentTarget(const IFileSystem& files, const std::string& target) {
  if (target.rfind("::", 0) == 0) return true;
  if (target == "control.exe") return true;
  if (target.empty()) return false;
  return files.FileExists(target) || files.DirectoryExists(target);
}

std::string EntryPicture(int slot, const config::ItemTexts& texts, const Platform& platform) {
  if (!texts.File.empty()) {
    const std::string icon = config::IconInEffect(texts);
    if (IsPresentTarget(platform.files, texts.File) && !icon.empty() && platform.files.FileExists(icon)) {
      const std::string ext = LowerExtension(icon);
      if (ext == ".ico") return {};
      if (ext == ".png") return icon;
    }
    return HelpPicture(platform);
  }
  // The dock's elements without a target show the placeholder.
  if (slot > kRingSlots) return HelpPicture(platform);
  if (texts.Name.empty()) return {};
  return platform.files.ProgramDir() + "Icon\\SysTool\\" + texts.Name + ".png";
}

EntryWriteBack LoadEntry(int slot, const config::ItemTexts& texts, ItemSlots& slots, IItemWindows& windows,
                         const Platform& platform) {
  EntryWriteBack writeBack;
  if (slot < 1 || slot > kSlotCount) return writeBack;
  const bool ring = slot <= kRingSlots;
  TImageIconRec& rec = slots[slot];

  if (!texts.File.empty()) {
    rec.File = texts.File;
    rec.Argument = texts.Argument;
    rec.IconPath = config::IconInEffect(texts);
    rec.InitialPosition = texts.InitialPosition;
    rec.Hint = texts.Name;
    CreateWindowFor(slot, windows);
    ShowPicture(slot, EntryPicture(slot, texts, platform), windows);
    return writeBack;
  }

  if (!ring) {
    // The dock's slots follow its elements one to one and its row has no
    // gaps: an element without a target keeps its place with the placeholder
    // picture and its name, launches nothing, and can be dragged off.
    rec.File.clear();
    rec.Argument.clear();
    rec.IconPath = EntryPicture(slot, texts, platform);
    rec.InitialPosition = texts.InitialPosition;
    rec.Hint = texts.Name;
    windows.CreateRectIconWindow(slot);
    windows.DrawIconIntoSlot(slot, rec.IconPath);
    return writeBack;
  }
  if (texts.Name.empty()) return writeBack;  // a free slot

  // Named software: found through the registry, else its web address.
  rec.IconPath = EntryPicture(slot, texts, platform);
  rec.InitialPosition = texts.InitialPosition;
  rec.Argument.clear();
  rec.Hint = texts.Name;
  windows.CreateRoundIconWindow(slot);
  windows.DrawIconIntoSlot(slot, rec.IconPath);
  const std::string key = "Software\\" + texts.Name;
  if (platform.registry.KeyExists(RegistryHive::LocalMachine, key)) {
    if (const auto dir = platform.registry.ReadString(RegistryHive::LocalMachine, key, "Install_Dir")) {
      rec.File = *dir + "\\" + texts.Name + ".exe";
      writeBack.File = rec.File;
    }
  } else {
    rec.File = texts.Http;
  }
  writeBack.IconDefine = rec.IconPath;
  return writeBack;
}

}  // namespace qv::catalogue
