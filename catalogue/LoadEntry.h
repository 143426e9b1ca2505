#pragma once

// Loading one item element of the configuration file into one slot at start.

#include <string>

#include <pugixml.hpp>

#include "catalogue/ItemSlots.h"
#include "platform/Platform.h"

namespace qv::catalogue {

// What loading an entry asks of the presentations.
class IItemWindows {
 public:
  virtual ~IItemWindows() = default;
  // Ring slot 1..20: the item window at the slot's offsets, named "Circle" + slot.
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

// The icon in effect: IconPath/Default when not empty, else IconPath/Define.
std::string IconPathOf(pugi::xml_node element);

// Loads element into slot (1..260). Ring slots complete a missing trailing
// InitialPosition; named-software ring entries are resolved through the
// registry and written back into the element. Returns true when the element
// changed (the caller saves the document once after all entries).
bool LoadEntry(int slot, pugi::xml_node element, ItemSlots& slots, IItemWindows& windows, const Platform& platform);

}  // namespace qv::catalogue
