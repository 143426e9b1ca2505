#include "catalogue/ItemOperations.h"

#include <string>
#include <utility>

#include "catalogue/IconCache.h"
#include "catalogue/IconProperty.h"
#include "catalogue/IconPropertyApply.h"
#include "catalogue/LoadEntry.h"

namespace qv::catalogue {

int FirstFreeRingSlot(const ItemSlots& slots) {
  for (int slot = 1; slot <= kRingSlots; ++slot)
    if (slots[slot].File.empty() && slots[slot].Window == kNoWindow) return slot;
  return 0;
}

int NextDockSlot(const ItemSlots& slots) {
  const int count = slots.DockCount();
  if (count < 0 || count >= kDockSlots) return 0;
  const int slot = kRingSlots + count + 1;
  return slots[slot].File.empty() && slots[slot].Window == kNoWindow ? slot : 0;
}

bool ItemOperations::FileReadable() const { return site_.File().Files(config::ItemList::Ring).has_value(); }

void ItemOperations::Fill(int slot, const config::ItemTexts& texts, const std::string& picture) {
  TImageIconRec& record = site_.slots[slot];
  record.File = texts.File;
  record.Argument = texts.Argument;
  record.IconPath = picture;
  record.InitialPosition = texts.InitialPosition;
  record.Hint = texts.Name;
}

// A file that is missing or cannot be read is left as it is: the item lives
// in memory only, and no half-made file is ever written. Nothing after the
// picture uses the slot, which a delete while it draws may have moved.
int ItemOperations::AddToRing(const config::ItemTexts& texts, const std::string& picture, const std::string& what) {
  const int slot = FirstFreeRingSlot(site_.slots);
  if (slot == 0) return 0;
  Fill(slot, texts, picture);
  site_.windows.CreateRoundIconWindow(slot);
  const config::EditResult saved = site_.File().WriteRingItem(slot, texts);
  ShowPicture(slot);
  site_.Check(saved, what + " (ring place " + std::to_string(slot) + ")");
  return slot;
}

int ItemOperations::AppendToDock(const config::ItemTexts& texts, const std::string& picture, const std::string& what) {
  const int slot = NextDockSlot(site_.slots);
  if (slot == 0) return 0;
  const int position = slot - kRingSlots;
  Fill(slot, texts, picture);
  site_.slots.SetDockCount(position);
  site_.windows.CreateRectIconWindow(slot);
  const config::EditResult saved = site_.File().AppendDockItem(position, texts);
  ShowPicture(slot);
  if (site_.dockBar) site_.dockBar->ItemAppended(slot, site_.platform.windows.CursorPosition());
  site_.Check(saved, what + " (dock place " + std::to_string(position) + ")");
  return slot;
}

// The picture the item will show at every later start: its own when the
// target is there and the picture file exists, else the placeholder. A type
// without a shell icon thus shows the placeholder, not an empty plate.
void ItemOperations::ShowPicture(int slot) {
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

// Without the file nothing changes anywhere, not even in memory. A full
// side takes nothing; the settings show the tool unticked next time.
bool ItemOperations::AddSystemTool(Presentation side, const ToolItem& tool) {
  if (!FileReadable()) return false;
  config::ItemTexts texts;
  texts.File = tool.target;
  texts.Name = tool.caption;
  texts.IconDefine = tool.picture;
  const std::string what = "The system tool " + tool.caption;
  return (side == Presentation::Round ? AddToRing(texts, tool.picture, what) : AppendToDock(texts, tool.picture, what)) !=
         0;
}

bool ItemOperations::RemoveSystemTool(Presentation side, const std::string& target) {
  if (!FileReadable()) return false;
  const int first = side == Presentation::Round ? 1 : kRingSlots + 1;
  // The dock's row is contiguous: its count bounds the search, whether or not the bar has made its windows yet.
  const int last = side == Presentation::Round ? kRingSlots : kRingSlots + site_.slots.DockCount();
  for (int slot = first; slot <= last; ++slot) {
    const TImageIconRec& record = site_.slots[slot];
    if (record.File != target) continue;
    if (side == Presentation::Rect) {
      removal_.RemoveRectSlot(slot, RemovalVariant::Menu);
      return true;
    }
    if (record.Window == kNoWindow) continue;
    removal_.RemoveRingSlot(slot);
    return true;
  }
  return false;
}

bool ItemOperations::EditProperties(int slot, const ItemProperties& values) {
  const bool applied = ApplyItemProperties(site_.platform, site_.slots, site_.windows, slot, values, site_.saveFailures);
  if (applied) site_.NotifyItemsChanged();
  return applied;
}

// The records change slots and the slots keep their places on the ring.
void ItemOperations::ExchangeRingItems(int source, int target, Point ringOrigin) {
  IWindowSystem& windows = site_.platform.windows;
  TImageIconRec& s = site_.slots[source];
  TImageIconRec& t = site_.slots[target];
  const WindowId dragged = s.Window;
  const WindowId other = t.Window;
  const config::ItemIdentity fromSource{s.File, s.Hint};
  const config::ItemIdentity fromTarget{t.File, t.Hint};
  std::swap(s.OffsetX, t.OffsetX);
  std::swap(s.OffsetY, t.OffsetY);
  auto place = [&](WindowId w, const TImageIconRec& rec) {
    Rect b = windows.Bounds(w);
    b.left = ringOrigin.x + rec.OffsetX;
    b.top = ringOrigin.y + rec.OffsetY;
    windows.SetBounds(w, b);
  };
  place(other, t);
  place(dragged, s);
  // Through a third name, so that no two windows ever share one.
  windows.SetName(dragged, "NO");
  windows.SetName(other, "Circle" + std::to_string(source));
  windows.SetName(dragged, "Circle" + std::to_string(target));
  site_.slots.Windows().MoveItem(other, source);
  site_.slots.Windows().MoveItem(dragged, target);
  std::swap(s, t);
  const config::EditResult saved = site_.File().SwapRingItems(source, target, fromSource, fromTarget);
  site_.NotifyItemsChanged();
  // Last: telling a failed save shows a box, whose loop lets input in.
  site_.Check(saved, "Exchanging ring places " + std::to_string(source) + " and " + std::to_string(target));
}

}  // namespace qv::catalogue
