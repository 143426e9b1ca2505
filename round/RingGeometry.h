#pragma once

// Where the twenty ring slots lie around the centre of the main form, and how
// the rotation angle moves. Everything here takes numbers and returns numbers;
// the code that moves windows only applies the results.

#include <array>

#include "platform/Geometry.h"

namespace qv::round {

inline constexpr int kRingSlotCount = 20;
inline constexpr int kInnerRingSlotCount = 8;   // slots 1..8, 45° apart
inline constexpr int kOuterRingSlotCount = 12;  // slots 9..20, 30° apart
inline constexpr int kRingIconSize = 50;        // side of an item window
// One tick of the rotation animation turns the rings by this many radians.
inline constexpr double kRotationStep = 0.1;

enum class Ring { None, Inner, Outer };

// The ring a slot number belongs to; slots outside 1..20 (the dock's) are on none.
Ring RingOfSlot(int slot);

// Top-left corners of the item windows of slots 1..20 (slot 1 at index 0),
// relative to the top-left corner of the main form.
using RingOffsets = std::array<Point, kRingSlotCount>;

// Radius of the outer ring: one window size plus the separation beyond the inner one.
int OuterRingRadius(int minR, int separationSize);

// The inner ring turns by +rotationAngle (clockwise on screen, where y grows
// downward), the outer ring by -rotationAngle. mainFormSize is the main form's
// outer size; its halves are taken toward zero.
RingOffsets ComputeRingOffsets(int minR, int separationSize, double rotationAngle, Size mainFormSize);

// The centre of the ring on screen: the centre of the main form's outer rectangle.
Point RingCentre(const Rect& mainForm);

// Where a slot's item window goes on screen, given the main form's left/top.
Point RingWindowPosition(Point mainFormTopLeft, Point offset);

// The angle after one animation tick, forward (clockwise for the inner ring) or back.
double StepRotationAngle(double rotationAngle, bool forward);

// Brings the angle back toward one turn when an animation ends: one turn is
// taken off at 2π or more, then one turn added at -2π or less. It is one
// correction each way, not a remainder: the positions repeat every turn, so
// this only keeps the number from growing by a turn per animation.
double NormalizeRotationAngle(double rotationAngle);

}  // namespace qv::round
