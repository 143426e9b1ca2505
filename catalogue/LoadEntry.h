#pragma once

// Loading one item element of the configuration file into one slot at start.

#include <optional>
#include <string>

#include "catalogue/ItemSlots.h"
#include "config/ItemFile.h"
#include "platform/Platform.h"

namespace qv::catalogue {

// What loading an entry asks of the presentations.
class IItemWindows {
 public:
  virtual ~IItemWindows() = default;
  // Ring slot 1..20: the item window at the slot's offsets, named "Circle" + slot.
  // A new window shows nothing until its first picture: every creation is
  // followed by DrawIconIntoSlot or RequestIcoPaint, which pushes it.
  virtual void CreateRoundIconWindow(int slot) = 0;
  // Dock slot 21..260: the item window of dock item j = slot - 20, named "Rect" + j.
  virtual void CreateRectIconWindow(int slot) = 0;
  // Draws a .png picture onto the slot's plate now.
  virtual void DrawIconIntoSlot(int slot, const std::string& iconPath) = 0;
  // Asks for the deferred .ico draw of the slot.
  virtual void RequestIcoPaint(int slot) = 0;
};

// True for a file or folder that exists, a shell namespace name ("::{...}"),
// or exactly "control.exe".
bool IsPresentTarget(const IFileSystem& files, const std::string& target);

// What loading an entry found that the file must say too: a named program's
// resolved target and the picture it shows.
struct EntryWriteBack {
  std::optional<std::string> File;
  std::optional<std::string> IconDefine;

  bool operator==(const EntryWriteBack&) const = default;
};

// The picture file loading the element into slot draws onto its plate: its
// own .png, the placeholder, a named program's picture; "" for an .ico file,
// painted as such, and for a free ring slot.
std::string EntryPicture(int slot, const config::ItemTexts& texts, const Platform& platform);

// Loads an element's texts into slot (1..260); named-software ring entries
// are resolved through the registry. The caller writes the write-back into
// the element and saves the file once after all entries.
EntryWriteBack LoadEntry(int slot, const config::ItemTexts& texts, ItemSlots& slots, IItemWindows& windows,
                         const Platform& platform);

}  // namespace qv::catalogue
