#include "app/PresentationSwitches.h"

#include "config/SettingsFile.h"

namespace qv::app {

namespace {

void Remember(PresentationSite& site, config::SettingKey key, bool shown) {
  const config::EditResult result =
      config::SettingsFile(site.platform.files, site.platform.system, site.configPath).WriteSwitch(key, shown);
  // Without a file (or with one that cannot be read, which is never
  // overwritten) the switch lasts until the program ends.
  if (site.saveFailures) {
    site.saveFailures->Check(result, "The presentation switch");
    return;
  }
  if (config::Failed(result))
    site.platform.diagnostics.Report(Severity::Warning, std::string("The presentation switch was not saved: ") +
                                                            config::Describe(result) + " (" + site.configPath + ")");
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
  Remember(site, config::SettingKey::IsShowRound, shown);
}

void ToggleRect(PresentationSite& site) {
  const bool shown = site.settings.IsShowRect = !site.settings.IsShowRect;
  if (site.ShowRectDock) site.ShowRectDock(shown);
  Remember(site, config::SettingKey::IsShowRect, shown);
}

}  // namespace qv::app
