#pragma once

// Whether each presentation is shown, as the file remembers it.

#include "config/ConfigDocument.h"

namespace qv::config {

enum class Presentation { Round, Rect };

// Writes IsShowRound (Setup/Basic/ShowRound) or IsShowRect
// (Setup/Basic/ShowRect) and saves. A file that is missing or cannot be
// read is left alone and false comes back: the switch lasts until exit.
bool SaveIsShown(ConfigDocument& document, Presentation presentation, bool shown);

}  // namespace qv::config
