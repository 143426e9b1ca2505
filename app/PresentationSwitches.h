#pragma once

// Showing and hiding either presentation as a whole, remembered in the file.

#include <functional>
#include <string>

#include "catalogue/ItemSlots.h"
#include "config/SaveFailures.h"
#include "config/Settings.h"
#include "platform/Platform.h"

namespace qv::app {

struct PresentationSite {
  Platform& platform;
  config::Settings& settings;
  catalogue::ItemSlots& slots;
  std::string configPath;
  // The ring skin and the center button (kNoWindow before they are built).
  std::function<WindowId()> BackgroundWindow;
  std::function<WindowId()> CenterWindow;
  // The dock shows and hides its bar and its items itself; it is at rest
  // before either, so that it comes back at rest.
  std::function<void(bool shown)> ShowRectDock;
  // Where a switch the file did not take is told; the log alone without one.
  config::SaveFailures* saveFailures = nullptr;
};

// IsShowRound := not IsShowRound; the ring skin, the center and every ring
// item follow it; the file keeps it when there is one.
void ToggleRound(PresentationSite& site);
// The same for IsShowRect and the whole dock.
void ToggleRect(PresentationSite& site);

}  // namespace qv::app
