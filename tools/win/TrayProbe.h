#pragma once

// Counting notification-area icons from outside the program that owns them.

#include "ToolText.h"

namespace qvtool {

// The visible tray icons of every program; -1 when there is no tray window.
int CountTrayIcons();

}  // namespace qvtool
