#include "app/PresentationSwitches.h"

#include "config/ShowSwitches.h"

namespace qv::app {

namespace {

void Remember(PresentationSite& site, config::Presentation presentation, bool shown) {
  config::ConfigDocument document(site.platform.files, site.platform.system, site.configPath);
  // Without a file (or with one that cannot be read, which is never
  // overwritten) the switch lasts until the program ends.
  config::SaveShowSwitch(document, presentation, shown);
}

}  // namespace

void ToggleRound(PresentationSite& site) {
  const bool shown = site.settings.IsShowRound = !site.settings.IsShowRound;
  IWindowSystem& windows = site.platform.windows;
  auto show = [&](WindowId w) {
    if (w != kNoWindow) windows.Show(w, shown);
  };
  if (site.BackgroundWindow) show(site.BackgroundWindow());
  if (site.CenterWindow) show(site.CenterWindow());
  for (int slot = 1; slot <= catalogue::kRingSlots; ++slot) show(site.slots[slot].Window);
  Remember(site, config::Presentation::Round, shown);
}

void ToggleRect(PresentationSite& site) {
  const bool shown = site.settings.IsShowRect = !site.settings.IsShowRect;
  if (site.ShowRectBar) site.ShowRectBar(shown);
  for (int slot = catalogue::kRingSlots + 1; slot <= catalogue::kSlotCount && !site.slots[slot].File.empty(); ++slot)
    if (site.slots[slot].Window != kNoWindow) site.platform.windows.Show(site.slots[slot].Window, shown);
  Remember(site, config::Presentation::Rect, shown);
}

}  // namespace qv::app
