#include "catalogue/LoadEntry.h"

#include <algorithm>
#include <cctype>

#include "config/ConfigDocument.h"

namespace qv::catalogue {

namespace {

std::string LowerExtension(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\/:");
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

std::string HelpPicture(const Platform& platform) { return platform.files.ProgramDir() + "Icon\\SysTool\\Help.png"; }

void ShowPicture(int slot, const TImageIconRec& rec, IItemWindows& windows, const Platform& platform) {
  const bool present = IsPresentTarget(platform.files, rec.File);
  const bool pictureExists = !rec.IconPath.empty() && platform.files.FileExists(rec.IconPath);
  const std::string ext = LowerExtension(rec.IconPath);
  if (present && pictureExists && ext == ".ico") {
    windows.RequestIcoPaint(slot);
  } else if (present && pictureExists && ext == ".png") {
    windows.DrawIconIntoSlot(slot, rec.IconPath);
  } else {
    windows.DrawIconIntoSlot(slot, HelpPicture(platform));
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

std::string IconPathOf(pugi::xml_node element) {
  const pugi::xml_node icon = config::FirstChild(element, "IconPath");
  std::string path = config::Text(config::FirstChild(icon, "Default"));
  if (path.empty()) path = config::Text(config::FirstChild(icon, "Define"));
  return path;
}

bool LoadEntry(int slot, pugi::xml_node element, ItemSlots& slots, IItemWindows& windows, const Platform& platform) {
  if (!element || slot < 1 || slot > kSlotCount) return false;
  bool changed = false;
  const bool ring = slot <= kRingSlots;
  TImageIconRec& rec = slots[slot];
  const std::string file = config::Text(config::FirstChild(element, "File"));
  const std::string name = config::Text(config::FirstChild(element, "Name"));

  std::string workingDir;
  if (ring) {
    const pugi::xml_node last = element.last_child();
    if (last.type() != pugi::node_element || std::string(last.name()) != "InitialPosition") {
      element.append_child("InitialPosition");
      changed = true;
    } else {
      workingDir = config::Text(last);
    }
  } else {
    workingDir = config::Text(config::FirstChild(element, "InitialPosition"));
  }

  if (!file.empty()) {
    rec.File = file;
    rec.Argument = config::Text(config::FirstChild(element, "Argument"));
    rec.IconPath = IconPathOf(element);
    rec.InitialPosition = workingDir;
    rec.Hint = name;
    CreateWindowFor(slot, windows);
    ShowPicture(slot, rec, windows, platform);
    return changed;
  }

  if (!ring) {
    // The dock's slots follow its elements one to one and its row has no
    // gaps: an element without a target keeps its place with the placeholder
    // picture and its name, launches nothing, and can be dragged off.
    rec.File.clear();
    rec.Argument.clear();
    rec.IconPath = HelpPicture(platform);
    rec.InitialPosition = workingDir;
    rec.Hint = name;
    windows.CreateRectIconWindow(slot);
    windows.DrawIconIntoSlot(slot, rec.IconPath);
    return changed;
  }
  if (name.empty()) return changed;  // a free slot

  // Named software: found through the registry, else its web address.
  rec.IconPath = platform.files.ProgramDir() + "Icon\\SysTool\\" + name + ".png";
  rec.InitialPosition = workingDir;
  rec.Argument.clear();
  rec.Hint = name;
  windows.CreateRoundIconWindow(slot);
  windows.DrawIconIntoSlot(slot, rec.IconPath);
  const std::string key = "Software\\" + name;
  if (platform.registry.KeyExists(RegistryHive::LocalMachine, key)) {
    if (const auto dir = platform.registry.ReadString(RegistryHive::LocalMachine, key, "Install_Dir")) {
      rec.File = *dir + "\\" + name + ".exe";
      pugi::xml_node fileNode = config::FirstChild(element, "File");
      if (!fileNode) fileNode = element.prepend_child("File");
      config::SetText(fileNode, rec.File);
      changed = true;
    }
  } else {
    rec.File = config::Text(config::FirstChild(element, "Http"));
  }
  pugi::xml_node icon = config::FirstChild(element, "IconPath");
  if (!icon) {
    // InitialPosition stays the last child.
    const pugi::xml_node last = element.last_child();
    icon = std::string(last.name()) == "InitialPosition" ? element.insert_child_before("IconPath", last)
                                                         : element.append_child("IconPath");
  }
  pugi::xml_node define = config::FirstChild(icon, "Define");
  if (!define) define = icon.append_child("Define");
  if (config::Text(define) != rec.IconPath) {
    config::SetText(define, rec.IconPath);
    changed = true;
  }
  return changed;
}

}  // namespace qv::catalogue
