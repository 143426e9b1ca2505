#pragma once

// The five system tools the dock starts with and the settings dialog offers,
// in the dialog's order. The picture of each is Icon\SysTool\<Picture>.png.

#include <array>

#include "config/Texts.h"

namespace qv::settings {

struct SystemTool {
  const char* componentName;  // the dialog's check box; its name less the first letter names the picture
  const char* caption;        // the item's name as the file stores it, whatever the interface's language
  const char* target;
  config::TextKey label;  // the check box's text
};

inline constexpr std::array<SystemTool, 5> kRectSystemTools{{
    {"RMyComputer", "我的电脑", "::{20D04FE0-3AEA-1069-A2D8-08002B30309D}", config::TextKey::ToolComputer},
    {"RMyNetwork", "网上邻居", "::{208D2C60-3AEA-1069-A2D7-08002B30309D}", config::TextKey::ToolNetwork},
    {"RMyDocuments", "我的文档", "::{450D8FBA-AD25-11D0-98A8-0800361B1103}", config::TextKey::ToolDocuments},
    {"RRecycleBin", "回收站", "::{645FF040-5081-101B-9F08-00AA002F954E}", config::TextKey::ToolRecycleBin},
    {"RControlPanel", "控制面板", "control.exe", config::TextKey::ToolControlPanel},
}};

// One tick or untick of a system tool that differs from what the list held
// at opening.
struct SystemToolChange {
  bool ring = true;  // the ring's list, else the dock's
  int tool = 0;      // index into kRectSystemTools
  bool add = true;
};

}  // namespace qv::settings
