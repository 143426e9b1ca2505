#include "round/RingGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace qv::round {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kHalfIcon = kRingIconSize / 2;

// sin and cos of multiples of π/4 and π/6 miss 0, ±1/2 and ±1 by an ulp or
// two, so a window meant to sit at exactly -25 comes out at -24.999999999999993
// or -25.000000000000018 depending on how π and the maths library round. A
// value that close to a whole pixel is taken as that pixel; otherwise the
// truncation toward zero would move half the windows on the axes by one pixel,
// and differently on each compiler.
constexpr double kSnapTolerance = 1e-7;

// Real positions are a few hundred pixels. Nonsense settings (a radius of two
// billion, a NaN angle) are pinned well inside int so that the conversion and
// the later addition of half the main form's size stay defined.
constexpr double kPositionLimit = 1 << 29;

int TruncTowardZero(double value) {
  if (std::isnan(value)) return 0;
  value = std::clamp(value, -kPositionLimit, kPositionLimit);
  const double nearest = std::nearbyint(value);
  if (std::fabs(value - nearest) < kSnapTolerance) return static_cast<int>(nearest);
  // Toward zero, not floor: -99.25 must become -99.
  return static_cast<int>(std::trunc(value));
}

// Integer halving toward zero, as the window sizes are halved everywhere.
int HalfTowardZero(int value) { return value / 2; }

Point OffsetOnCircle(double angle, double radius, int halfW, int halfH) {
  const int x = TruncTowardZero(std::cos(angle) * radius - kHalfIcon);
  const int y = TruncTowardZero(std::sin(angle) * radius - kHalfIcon);
  const int limit = static_cast<int>(kPositionLimit);
  return Point{x + std::clamp(halfW, -limit, limit), y + std::clamp(halfH, -limit, limit)};
}

}  // namespace

Ring RingOfSlot(int slot) {
  if (slot >= 1 && slot <= kInnerRingSlotCount) return Ring::Inner;
  if (slot > kInnerRingSlotCount && slot <= kRingSlotCount) return Ring::Outer;
  return Ring::None;
}

int OuterRingRadius(int minR, int separationSize) {
  const std::int64_t radius = std::int64_t{minR} + separationSize + kRingIconSize;
  return static_cast<int>(
      std::clamp<std::int64_t>(radius, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

RingOffsets ComputeRingOffsets(int minR, int separationSize, double rotationAngle, Size mainFormSize) {
  const int halfW = HalfTowardZero(mainFormSize.width);
  const int halfH = HalfTowardZero(mainFormSize.height);
  // In double, so that no sum of settings can overflow.
  const double innerRadius = minR;
  const double outerRadius = static_cast<double>(minR) + separationSize + kRingIconSize;

  RingOffsets offsets{};
  for (int slot = 1; slot <= kInnerRingSlotCount; ++slot) {
    const double angle = slot * kPi / 4 + rotationAngle;
    offsets[slot - 1] = OffsetOnCircle(angle, innerRadius, halfW, halfH);
  }
  for (int slot = kInnerRingSlotCount + 1; slot <= kRingSlotCount; ++slot) {
    const double angle = -rotationAngle + (slot - kInnerRingSlotCount) * kPi / 6;
    offsets[slot - 1] = OffsetOnCircle(angle, outerRadius, halfW, halfH);
  }
  return offsets;
}

Point RingCentre(const Rect& mainForm) {
  return Point{mainForm.left + HalfTowardZero(mainForm.width), mainForm.top + HalfTowardZero(mainForm.height)};
}

Point RingWindowPosition(Point mainFormTopLeft, Point offset) {
  return Point{mainFormTopLeft.x + offset.x, mainFormTopLeft.y + offset.y};
}

double StepRotationAngle(double rotationAngle, bool forward) {
  return forward ? rotationAngle + kRotationStep : rotationAngle - kRotationStep;
}

double NormalizeRotationAngle(double rotationAngle) {
  constexpr double kTurn = 2 * kPi;
  if (rotationAngle >= kTurn) rotationAngle -= kTurn;
  if (rotationAngle <= -kTurn) rotationAngle += kTurn;
  return rotationAngle;
}

}  // namespace qv::round
