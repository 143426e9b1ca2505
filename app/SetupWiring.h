#pragma once

// The settings dialog's hooks wired to the main form: its settings, ring,
// hot key, layers, label font, items and file, and the registry.

#include <functional>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "settings/SetupHooks.h"

namespace qv::app {

// The dock's previews go to the running dock bar.
settings::SetupHooks MakeSetupHooks(Platform& platform, MainForm& form);

// Adds and removes system tools as the dialog's ticks say: in the ring at the
// lowest free slot, in the dock at the end of the row (refused when the row
// is full). The ring's changes are saved in one replacement of the file.
void ApplySystemToolChanges(Platform& platform, MainForm& form, const std::vector<settings::SystemToolChange>& changes);

}  // namespace qv::app
