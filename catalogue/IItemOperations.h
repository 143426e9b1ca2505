#pragma once

// The changes a user makes to the items from outside the ring and the dock
// themselves: the settings dialog's system tools and the property dialog's
// edits. Each changes the slot records, the window table, the item windows
// and the configuration file together, and tells the presentations.

#include <string>

#include "catalogue/WindowTable.h"

namespace qv::catalogue {

struct ItemProperties;

// A system tool as an item: what it launches, its name and its picture.
struct ToolItem {
  std::string target;
  std::string caption;
  std::string picture;
};

class IItemOperations {
 public:
  virtual ~IItemOperations() = default;

  // Adds the tool to the ring's lowest free slot or the dock's end. False,
  // changing nothing, when that side is full or the file cannot be read.
  virtual bool AddSystemTool(Presentation side, const ToolItem& tool) = 0;
  // Removes the first item of that side launching `target` (the dock closes
  // its gap). False when there is none or the file cannot be read.
  virtual bool RemoveSystemTool(Presentation side, const std::string& target) = 0;
  // The property dialog's OK for the item of `slot`. False, changing
  // nothing, when the file cannot be read.
  virtual bool EditProperties(int slot, const ItemProperties& values) = 0;
};

}  // namespace qv::catalogue
