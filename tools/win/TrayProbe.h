#pragma once

// Counting notification-area icons from outside the program that owns them.

#include <string>
#include <vector>

#include "ToolText.h"

namespace qvtool {

struct TrayReport {
  int count = -1;                    // -1: no tray window found
  std::vector<std::string> details;  // what was looked at, for -v
};

TrayReport InspectTray();

// Shows count icons from a hidden window of this process for ms milliseconds
// (pumping messages), then removes them: lets the tests check the counting.
bool RunTrayDemo(int count, DWORD ms);

}  // namespace qvtool
