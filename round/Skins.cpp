#include "round/Skins.h"

#include <algorithm>

namespace qv::round {

namespace {
constexpr const char* kBackgroundResources[] = {"RoundInterface", "ThinInterface", "NoInterface"};
constexpr const char* kCenterResources[] = {"GrayGroundCenter", "PurityCenter", "WinCenter", "NoCenter"};
constexpr int kMinSkinSize = 16;
constexpr int kMaxSkinSize = 2048;
}  // namespace

SkinChoice ChooseBackgroundSkin(int index, bool pathFileExists) {
  if (index == 0 && pathFileExists) return {0, SkinSource::File, {}};
  if (index < 1 || index > 3) index = 1;
  return {index, SkinSource::Resource, kBackgroundResources[index - 1]};
}

SkinChoice ChooseCenterSkin(int index, bool pathFileExists, bool clockAvailable) {
  if (index == 0 && pathFileExists) return {0, SkinSource::File, {}};
  if (index == 5 && clockAvailable) return {5, SkinSource::Clock, {}};
  if (index < 1 || index > 4) index = 1;
  return {index, SkinSource::Resource, kCenterResources[index - 1]};
}

int NextBackgroundIndex(int index) { return index == 3 ? 0 : index + 1; }
int NextCenterIndex(int index) { return index == 5 ? 0 : index + 1; }

int ClampSkinSize(int size) { return std::clamp(size, kMinSkinSize, kMaxSkinSize); }

ClockAngles ClockHandAngles(int hour, int minute, int second) {
  ClockAngles a;
  a.hour = hour * 30.0 + minute / 60.0 * 30.0;
  a.minute = minute / 60.0 * 360.0;
  a.second = second * 6.0;
  return a;
}

}  // namespace qv::round
