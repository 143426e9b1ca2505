#include "catalogue/Drop.h"

namespace qv::catalogue {

namespace {

// The item's texts as they go into its element: the cached .ico is written
// as Default, the fixed .png picture as Define, and the other one empty.
config::ItemTexts TextsOf(const DroppedItem& item) {
  config::ItemTexts texts;
  texts.File = item.target;
  texts.Name = item.name;
  (item.DropHasNoExtension ? texts.IconDefine : texts.IconDefault) = item.iconPath;
  texts.InitialPosition = item.workingDirectory;
  return texts;
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

ItemDrop::ItemDrop(CatalogueSite& site, ItemOperations& operations, FormTimer& clearMemory)
    : site_(site), operations_(operations), clearMemory_(clearMemory) {}

DropResult ItemDrop::OnDropFiles(const std::vector<std::string>& paths, Point screenPos) {
  if (paths.empty() || paths.front().empty()) return DropResult::NothingDropped;
  const std::string& dropped = paths.front();
  const bool toDock = site_.dockBar && site_.dockBar->BarBounds().Contains(screenPos);

  // The place is known before the icon cache is asked, so that a drop with
  // no place to go writes nothing at all.
  const int slot = toDock ? NextDockSlot(site_.slots) : FirstFreeRingSlot(site_.slots);
  if (slot == 0) {
    clearMemory_.Enable();
    return toDock ? DropResult::DockFull : DropResult::RingFull;
  }
  const CacheOutcome outcome = ResolveAndCacheIcon(site_.platform, dropped);
  if (outcome.abandoned || outcome.target.empty()) return DropResult::Abandoned;
  const DroppedItem item = DeriveDroppedItem(dropped, outcome);

  const config::ItemTexts texts = TextsOf(item);
  if (toDock) {
    operations_.AppendToDock(texts, item.iconPath, "The dropped item");
  } else {
    operations_.AddToRing(texts, item.iconPath, "The dropped item");
  }
  clearMemory_.Enable();
  return toDock ? DropResult::AddedToDock : DropResult::AddedToRing;
}

}  // namespace qv::catalogue
