#include "catalogue/Drop.h"

#include "config/ConfigDocument.h"

namespace qv::catalogue {

namespace {

// The item's texts as they go into its element: the cached .ico is written
// as Default, the fixed .png picture as Define, and the other one empty.
ItemTexts TextsOf(const DroppedItem& item) {
  ItemTexts texts;
  texts.File = item.target;
  texts.Name = item.name;
  (item.DropHasNoExtension ? texts.IconDefine : texts.IconDefault) = item.iconPath;
  texts.InitialPosition = item.workingDirectory;
  return texts;
}

// The ring's element of the slot, by position as the loader reads it. A file
// with fewer places than the ring gains the missing ones, named as the
// loader expects them.
pugi::xml_node RingElement(pugi::xml_node root, int slot) {
  pugi::xml_node ring = config::FirstChild(root, "RoundBackground");
  if (!ring) ring = root.append_child("RoundBackground");
  for (int position = config::CountChildElements(ring) + 1; position <= slot; ++position)
    ring.append_child(("Circle" + std::to_string(position)).c_str());
  return config::ChildAt(ring, slot);
}

}  // namespace

std::string DropName(const std::string& droppedPath) {
  const std::string name = FileNameOf(droppedPath);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string WorkingDirectoryOf(const std::string& target) {
  const std::size_t separator = target.find_last_of("\\/:");
  if (separator == std::string::npos) return {};
  if (target[separator] == ':') return target.substr(0, separator + 1);
  const std::string folder = target.substr(0, separator);
  // A drive's root keeps its backslash: "C:" alone means the drive's current folder.
  if (!folder.empty() && folder.back() == ':') return target.substr(0, separator + 1);
  return folder;
}

DroppedItem DeriveDroppedItem(const std::string& droppedPath, const CacheOutcome& outcome) {
  DroppedItem item;
  item.target = outcome.target;
  item.name = DropName(droppedPath);
  item.iconPath = outcome.iconPath;
  item.workingDirectory = WorkingDirectoryOf(outcome.target);
  item.DropHasNoExtension = outcome.noExtension;
  if (IsOfficeIconContainer(outcome.target)) {
    item.target = droppedPath;
    item.workingDirectory.clear();
  }
  return item;
}

ItemDrop::ItemDrop(CatalogueSite& site, app::FormTimer& clearMemory) : site_(site), clearMemory_(clearMemory) {}

// A place with a window is taken even without a target: a named program that
// is installed without its folder in the registry is still on screen.
int ItemDrop::FirstFreeRingSlot() const {
  for (int slot = 1; slot <= kRingSlots; ++slot)
    if (site_.slots[slot].File.empty() && site_.slots[slot].Window == kNoWindow) return slot;
  return 0;
}

// The dock's slots follow the elements of its list one to one, so the new
// item goes after the last element, whatever an element without a target
// left empty before it.
int ItemDrop::NextDockSlot() const {
  if (site_.rectItemCount < 0 || site_.rectItemCount >= kDockSlots) return 0;
  const int slot = kRingSlots + site_.rectItemCount + 1;
  const TImageIconRec& record = site_.slots[slot];
  return record.File.empty() && record.Window == kNoWindow ? slot : 0;
}

DropResult ItemDrop::OnDropFiles(const std::vector<std::string>& paths, Point screenPos) {
  if (paths.empty() || paths.front().empty()) return DropResult::NothingDropped;
  const std::string& dropped = paths.front();
  const bool toDock = site_.dockBar && site_.dockBar->BarBounds().Contains(screenPos);

  // The place is known before the icon cache is asked, so that a drop with
  // no place to go writes nothing at all.
  const int slot = toDock ? NextDockSlot() : FirstFreeRingSlot();
  if (slot == 0) {
    clearMemory_.Enable();
    return toDock ? DropResult::DockFull : DropResult::RingFull;
  }
  const CacheOutcome outcome = ResolveAndCacheIcon(site_.platform, dropped);
  if (outcome.abandoned || outcome.target.empty()) return DropResult::Abandoned;
  const DroppedItem item = DeriveDroppedItem(dropped, outcome);

  if (toDock) {
    AddToDock(slot, item);
  } else {
    AddToRing(slot, item);
  }
  clearMemory_.Enable();
  return toDock ? DropResult::AddedToDock : DropResult::AddedToRing;
}

void ItemDrop::FillRecord(int slot, const DroppedItem& item) {
  TImageIconRec& record = site_.slots[slot];
  record.File = item.target;
  record.Argument.clear();
  record.IconPath = item.iconPath;
  record.InitialPosition = item.workingDirectory;
  record.Hint = item.name;
}

// A file that is missing or cannot be read is left as it is: the item
// lives in memory only, and no half-made file is ever written.
void ItemDrop::AddToRing(int slot, const DroppedItem& item) {
  FillRecord(slot, item);
  site_.windows.CreateRoundIconWindow(slot);
  config::ConfigDocument document(site_.platform.files, site_.platform.system, site_.ConfigPath());
  if (document.Load().status == config::LoadStatus::Ok) {
    // The whole element is written: a place emptied by hand may still hold
    // leftovers, which would come back with the item at the next start.
    WriteItemTexts(RingElement(document.Root(), slot), TextsOf(item));
    document.Save();
  }
  ShowPicture(slot);
}

void ItemDrop::AddToDock(int slot, const DroppedItem& item) {
  FillRecord(slot, item);
  site_.windows.CreateRectIconWindow(slot);
  config::ConfigDocument document(site_.platform.files, site_.platform.system, site_.ConfigPath());
  if (document.Load().status == config::LoadStatus::Ok) {
    pugi::xml_node rect = config::FirstChild(document.Root(), "RectBackground");
    if (!rect) rect = document.Root().append_child("RectBackground");
    // After the element of the item before it, not at the end: elements past
    // the dock's 240 places stay behind the row, untouched.
    const int position = slot - kRingSlots;
    const std::string name = "Rect" + std::to_string(position);
    const pugi::xml_node before = position > 1 ? config::ChildAt(rect, position - 1) : pugi::xml_node();
    pugi::xml_node element = position == 1 ? rect.prepend_child(name.c_str())
                             : before       ? rect.insert_child_after(name.c_str(), before)
                                            : rect.append_child(name.c_str());
    WriteItemTexts(element, TextsOf(item));
    document.Save();
  }
  ShowPicture(slot);
  ++site_.rectItemCount;
  if (site_.dockBar) site_.dockBar->ItemAppended(slot, site_.platform.windows.CursorPosition());
}

// The picture the item will show at every later start: its icon when the
// target is there and the picture file exists, else the placeholder. A
// type without a shell icon thus shows the placeholder, not an empty plate.
void ItemDrop::ShowPicture(int slot) {
  const TImageIconRec& record = site_.slots[slot];
  const IFileSystem& files = site_.platform.files;
  const bool shown = IsPresentTarget(files, record.File) && files.FileExists(record.IconPath);
  const std::string extension = LowerExtension(record.IconPath);
  if (shown && extension == ".ico") {
    site_.windows.RequestIcoPaint(slot);
  } else if (shown && extension == ".png") {
    site_.windows.DrawIconIntoSlot(slot, record.IconPath);
  } else {
    site_.windows.DrawIconIntoSlot(slot, files.ProgramDir() + "Icon\\SysTool\\Help.png");
  }
}

}  // namespace qv::catalogue
