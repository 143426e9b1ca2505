#pragma once

// The two presentation switches as the file keeps them: Setup/Basic/ShowRound
// IsShowRound and Setup/Basic/ShowRect IsShowRect.

#include "config/ConfigDocument.h"

namespace qv::config {

enum class Presentation { Round, Rect };

// Loads the file, writes the switch and saves. A missing or unreadable file
// is left as it is (false): the switch then lasts until the program ends.
bool SaveShowSwitch(ConfigDocument& document, Presentation presentation, bool shown);

}  // namespace qv::config
