#pragma once

// How the bar's picture is cut from a theme picture: a left cap and a right
// cap of 25 pixels drawn at their own size, and the middle stretched across
// whatever width the row needs. Numbers in, rectangles out; the window code
// hands each slice to the canvas.

#include <array>

#include "platform/Geometry.h"

namespace qv::dock {

// A theme picture carries its two caps and at least one column of middle, and
// is tall enough for the items to stand on it at both edges of the screen:
// at the bottom they occupy rows 19..68 of a bar whose last 25 rows are off
// screen. The upper bound keeps a 240-item bar's surface within reason.
inline constexpr int kMinThemeWidth = 51;
inline constexpr int kMinThemeHeight = 94;
inline constexpr int kMaxThemeHeight = 400;
// The bar's height when there is no usable theme picture: the shipped themes'.
inline constexpr int kDefaultBarHeight = 100;

// Size of a theme picture that could not be read: no picture at all.
inline constexpr Size kNoTheme{0, 0};

bool IsUsableTheme(Size theme);

// The bar's height: the theme picture's when it is usable, otherwise the
// shipped themes', so that the items stay on screen without a picture.
int RectBarHeight(Size theme);

struct BarSlice {
  Rect Source;       // in the theme picture
  Rect Destination;  // on the bar surface
  friend bool operator==(const BarSlice&, const BarSlice&) = default;
};

struct BarDrawing {
  Size Surface;                    // the bar surface, cleared before the slices are drawn
  int SliceCount = 0;              // 0 when there is nothing to draw: a bar without a picture
  std::array<BarSlice, 3> Slices;  // left cap, middle (when it has width), right cap
};

// DrawBar at `bar` (the bar surface's width and height) from a theme picture
// of size `theme`. A theme that is not usable (missing, damaged, narrower
// than its caps) or a bar narrower than the two caps gives no slices, never
// a negative size.
BarDrawing ComputeBarDrawing(Size bar, Size theme);

}  // namespace qv::dock
