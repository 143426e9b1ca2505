#pragma once

// Adding an item by dropping a file, folder or shortcut on the main window.
// The drop point chooses the dock (on the bar) or the ring (anywhere else);
// the item takes the lowest free ring slot or the next dock position, its
// element is written and the file saved, its window made and its picture
// drawn. No message is shown for any outcome.

#include <string>
#include <vector>

#include "platform/FormTimer.h"
#include "catalogue/CatalogueSite.h"
#include "catalogue/IconCache.h"
#include "catalogue/ItemOperations.h"

namespace qv::catalogue {

// The display name of a dropped path: its file name less the extension (the
// text from the last "." of the file name on). A shortcut keeps its own
// name, not its target's; a drive root ("C:\") has none.
std::string DropName(const std::string& droppedPath);

// The folder a target is launched in: the target up to its last "\" or ":",
// without that backslash unless the result would end in ":"
// (C:\Tools\app.exe gives C:\Tools, C:\app.exe gives C:\).
std::string WorkingDirectoryOf(const std::string& target);

// Everything the new item is made of.
struct DroppedItem {
  std::string target;
  std::string name;
  std::string iconPath;
  std::string workingDirectory;
  bool DropHasNoExtension = false;  // the picture is a .png in IconPath/Define
};

// From the dropped path and what the icon cache made of it. A shortcut of an
// installer-advertised office suite points at an icon container that starts
// nothing: the item launches the shortcut itself, in no particular folder,
// and still shows the container's picture.
DroppedItem DeriveDroppedItem(const std::string& droppedPath, const CacheOutcome& outcome);

enum class DropResult { AddedToRing, AddedToDock, RingFull, DockFull, Abandoned, NothingDropped };

class ItemDrop {
 public:
  ItemDrop(CatalogueSite& site, ItemOperations& operations, FormTimer& clearMemory);
  ItemDrop(const ItemDrop&) = delete;
  ItemDrop& operator=(const ItemDrop&) = delete;

  // The dropped-files message of the main window. Only the first path
  // counts. A full ring or dock, or a shortcut to nothing that can be
  // launched, changes nothing: no record, window, element or cache file.
  DropResult OnDropFiles(const std::vector<std::string>& paths, Point screenPos);

 private:
  CatalogueSite& site_;
  ItemOperations& operations_;
  FormTimer& clearMemory_;
};

}  // namespace qv::catalogue
