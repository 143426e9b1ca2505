#pragma once

// Which picture a skin index stands for, with the fall-backs, and the angles
// of the clock's hands. Pure functions: the windows only show the results.

#include <string>

namespace qv::round {

enum class SkinSource { Resource, File, Clock };

struct SkinChoice {
  int index = 1;              // the index in effect after the fall-backs
  SkinSource source = SkinSource::Resource;
  std::string resourceName;   // for Resource
};

// Background: 0 the file at Path, 1 "RoundInterface", 2 "ThinInterface", 3 "NoInterface".
SkinChoice ChooseBackgroundSkin(int index, bool pathFileExists);
// Center: 0 the file at Path, 1 "GrayGroundCenter", 2 "PurityCenter", 3 "WinCenter", 4 "NoCenter", 5 the clock.
SkinChoice ChooseCenterSkin(int index, bool pathFileExists, bool clockAvailable);

// The next index of the cycle 0 -> 1 -> 2 -> 3 -> 0 (background) and 0 -> ... -> 5 -> 0 (center).
int NextBackgroundIndex(int index);
int NextCenterIndex(int index);

// Edge of a skin window: sizes from the file are kept within what a screen can show.
int ClampSkinSize(int size);

struct ClockAngles {
  double hour = 0;  // degrees clockwise from twelve
  double minute = 0;
  double second = 0;
};
// Whole minutes only: the minute hand jumps once a minute.
ClockAngles ClockHandAngles(int hour, int minute, int second);

}  // namespace qv::round
