#include "catalogue/CatalogueSite.h"

#include <cstring>

#include "config/ConfigDocument.h"

namespace qv::catalogue {

namespace {

constexpr const char* kWorkingDirectory = "InitialPosition";

bool Named(pugi::xml_node node, const char* name) {
  return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

// The first child of that name, or a new one placed before a trailing
// InitialPosition, which must stay the last child.
pugi::xml_node Child(pugi::xml_node parent, const char* name) {
  if (pugi::xml_node found = config::FirstChild(parent, name)) return found;
  const pugi::xml_node last = parent.last_child();
  if (Named(last, kWorkingDirectory)) return parent.insert_child_before(name, last);
  return parent.append_child(name);
}

}  // namespace

int SlotOfWindow(const ItemSlots& slots, WindowId window) {
  if (window == kNoWindow) return 0;
  for (int slot = 1; slot <= kSlotCount; ++slot)
    if (slots[slot].Window == window) return slot;
  return 0;
}

void ClearRecord(TImageIconRec& record) {
  TImageIconRec cleared;
  cleared.OffsetX = record.OffsetX;
  cleared.OffsetY = record.OffsetY;
  record = std::move(cleared);
}

void WriteItemTexts(pugi::xml_node item, const ItemTexts& texts) {
  if (item.type() != pugi::node_element) return;
  config::SetText(Child(item, "File"), texts.File);
  config::SetText(Child(item, "Name"), texts.Name);
  pugi::xml_node icon = Child(item, "IconPath");
  config::SetText(Child(icon, "Default"), texts.IconDefault);
  config::SetText(Child(icon, "Define"), texts.IconDefine);
  config::SetText(Child(item, "Argument"), texts.Argument);
  config::SetText(Child(item, "Http"), texts.Http);
  // The ring reads its last child, the dock its first of the name: an older
  // element may hold both, and both say the same afterwards.
  if (!Named(item.last_child(), kWorkingDirectory)) item.append_child(kWorkingDirectory);
  for (pugi::xml_node child : item.children())
    if (Named(child, kWorkingDirectory)) config::SetText(child, texts.InitialPosition);
}

void EmptyItemTexts(pugi::xml_node item) {
  static constexpr const char* kTexts[] = {"File", "Name", "Argument", "Http", kWorkingDirectory};
  for (pugi::xml_node child : item.children()) {
    if (child.type() != pugi::node_element) continue;
    for (const char* name : kTexts)
      if (Named(child, name)) config::SetText(child, "");
    if (Named(child, "IconPath"))
      for (pugi::xml_node path : child.children())
        if (Named(path, "Default") || Named(path, "Define")) config::SetText(path, "");
  }
}

}  // namespace qv::catalogue
