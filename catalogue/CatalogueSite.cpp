#include "catalogue/CatalogueSite.h"

namespace qv::catalogue {

void CatalogueSite::Check(config::EditResult result, const std::string& what) const {
  if (saveFailures) {
    saveFailures->Check(result, what);
    return;
  }
  if (config::Failed(result))
    platform.diagnostics.Report(Severity::Error,
                                what + " was not saved: " + config::Describe(result) + " (" + ConfigPath() + ")");
}

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

}  // namespace qv::catalogue
