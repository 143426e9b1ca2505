#pragma once

// The launcher's items as the configuration file keeps them: the ring's
// places under RoundBackground (read by position, named "Circle" + n) and the
// dock's list under RectBackground ("Rect1" .. "RectN", kept without gaps).
// Nothing outside config/ sees the file's element names.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/LoadResult.h"
#include "platform/Platform.h"

namespace qv::config {

class ConfigDocument;

enum class ItemList { Ring, Dock };

// The dock's places: elements of its list past this one are not items and
// no operation renames them.
inline constexpr int kDockItemLimit = 240;

// The seven texts of an item element.
struct ItemTexts {
  std::string File;
  std::string Name;
  std::string IconDefault;
  std::string IconDefine;
  std::string Argument;
  std::string Http;
  std::string InitialPosition;  // the working directory

  bool operator==(const ItemTexts&) const = default;
};

// The picture in effect: IconDefault when that text is not empty, else IconDefine.
std::string IconInEffect(const ItemTexts& texts);

// Pictures inside the program folder are kept relative to it, so that the
// folder can be moved or copied to another computer with its pictures;
// others are kept as given. The file may hold either form: a relative path
// read back resolves against the program folder (with its trailing
// backslash), an absolute one is taken as it is. The operations below
// store and read every picture path this way; what they hand out is absolute.
std::string StoredPicturePath(const std::string& programDir, const std::string& path);
std::string ResolvedPicturePath(const std::string& programDir, const std::string& stored);

// What the program holds of an item: its target and its name. An edit that
// empties, removes or exchanges a place first checks that the place still
// holds this item, so a file changed meanwhile (by hand, or by a save of an
// older picture of it) never loses another item to an edit by position. An
// element without a target matches on its name alone: named software and the
// dock's placeholders are shown with a target the file does not hold.
struct ItemIdentity {
  std::string File;
  std::string Name;
};

// What the item property dialog's OK changes: the target and the picture
// only when given, the name and the arguments always.
struct ItemEdit {
  std::optional<std::string> File;
  std::optional<std::string> IconDefault;
  std::optional<std::string> IconDefine;
  std::string Name;
  std::string Argument;
};

// One edit each: the file is loaded afresh, changed and saved whole, so a
// change made by hand meanwhile is kept.
class ItemFile {
 public:
  ItemFile(IFileSystem& files, ISystem& system, std::string path);

  // Writes all seven texts of a ring place, making the missing children; a
  // file with fewer places gains them up to this one.
  EditResult WriteRingItem(int position, const ItemTexts& texts);
  // Several ring places written in one save, in this order.
  EditResult WriteRingItems(const std::vector<std::pair<int, ItemTexts>>& places);
  // Empties the seven texts of a place; a missing place changes nothing.
  EditResult EmptyRingItem(int position, const std::optional<ItemIdentity>& expected = std::nullopt);
  // Empties every place given that exists: the ring's free places after a
  // clear. The file is saved even when none of them exists.
  EditResult EmptyRingItems(const std::vector<int>& positions);
  // Exchanges the item texts of two ring places, each expected to hold the
  // item given for it (a free place: empty texts).
  EditResult SwapRingItems(int source, int target, const std::optional<ItemIdentity>& expectedSource = std::nullopt,
                           const std::optional<ItemIdentity>& expectedTarget = std::nullopt);
  // Puts "Rect" + position into the dock's list with all seven texts, right
  // after the element of the item before it: elements past the dock's
  // places stay behind the row, untouched.
  EditResult AppendDockItem(int position, const ItemTexts& texts);
  // The texts of the position-th element of the list (from 1); nullopt when
  // the file cannot be read or has no such element.
  std::optional<ItemTexts> ReadItem(ItemList list, int position) const;
  // The File text of every element of the list, in document order; nullopt
  // when the file cannot be read.
  std::optional<std::vector<std::string>> Files(ItemList list) const;
  // The property dialog's change of an existing element, its missing
  // children made, when it still holds the item expected there; nothing to
  // change when the element is missing.
  EditResult EditItem(ItemList list, int position, const ItemEdit& edit,
                      const std::optional<ItemIdentity>& expected = std::nullopt);
  // Removes the dock element at position and renames the ones behind it, up
  // to the last place, after their new positions, each keeping every child it had.
  EditResult RemoveDockItem(int position, const std::optional<ItemIdentity>& expected = std::nullopt);

  const std::string& Path() const { return path_; }

 private:
  IFileSystem& files_;
  ISystem& system_;
  std::string path_;
};

// The item lists held for the start-up step: loaded once, completed in
// place, saved once.
class StartupItems {
 public:
  StartupItems(IFileSystem& files, ISystem& system, std::string path);
  ~StartupItems();
  StartupItems(const StartupItems&) = delete;
  StartupItems& operator=(const StartupItems&) = delete;

  bool Load();
  // Nobody wrote the file since it was loaded: what it holds is what this has.
  bool Current() const;
  // Elements in the list (any name).
  int Count(ItemList list) const;
  // The position-th element's texts (from 1); nullopt when there is none. A
  // ring element's working directory is its last child when that is an
  // InitialPosition; otherwise an empty one is appended, as the ring's
  // loader has always completed it. The dock takes its first InitialPosition.
  std::optional<ItemTexts> Read(ItemList list, int position);
  // A resolved target: written into File, made first when missing.
  void SetFile(ItemList list, int position, const std::string& file);
  // IconPath/Define, made when missing (IconPath before a trailing InitialPosition).
  void SetIconDefine(ItemList list, int position, const std::string& path);
  // The dock's first list: the system tools, every child written even when empty.
  void AppendDockItems(const std::vector<ItemTexts>& items);
  // Setup/Basic/HotKey Key, or "C" when absent or empty.
  std::string HotKeyText() const;
  EditResult Save();

 private:
  std::unique_ptr<ConfigDocument> document_;
  std::string programDir_;
};

}  // namespace qv::config
