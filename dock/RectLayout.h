#pragma once

// Where the dock bar and its items go, at rest and magnified under the
// pointer. Everything here takes numbers and returns numbers; the code that
// owns the windows applies a layout and pushes only what changed (see
// DiffRectLayouts), all in one batch so that the row never tears.

#include <vector>

#include "platform/Geometry.h"

namespace qv::dock {

inline constexpr int kMaxRectItems = 240;     // slots 21..260
inline constexpr int kRectIconSize = 50;      // side of an item window at rest
inline constexpr int kRectRestIconSize = 48;  // the picture inside a resting item
inline constexpr int kBarCapWidth = 25;       // the theme's caps, never stretched
inline constexpr int kRectItemInset = 25;     // first item's left and items' top, from the bar's corner
inline constexpr int kInnerZoneMarginX = 25;
inline constexpr int kInnerZoneMarginY = 12;
inline constexpr int kRectItemOffsetYTop = 6;  // items sit lower in the bar at the top, higher at the bottom

// The settings dialog offers RectIconPx 1..100 and RectIconWd 1..10; a file
// edited by hand may say anything, so the layout brings both into that range
// (beyond it the products overflow and the exponent turns negative).
inline constexpr int kMinRectIconPx = 1;
inline constexpr int kMaxRectIconPx = 100;
inline constexpr int kMinRectIconWd = 1;
inline constexpr int kMaxRectIconWd = 10;

// Everything a layout depends on.
struct RectDockParams {
  int RectIconPx = 50;   // the largest growth of one item, pixels
  int RectIconWd = 4;    // width of the magnified zone, in items
  int RectPosition = 0;  // 1 = bottom edge, any other value = top edge
  int ItemCount = 0;     // RectItemCount; brought into 0..240
  Rect Screen;           // the primary screen
  int BarHeight = 100;   // RectBarHeight of the theme picture
};

struct MagnifyExtents {
  int MagnifyExtraMax = 0;  // the widest the row can grow, pixels
  int MagnifyRadius = 0;    // items whose centre is this far from the pointer or farther stay at rest
};

MagnifyExtents ComputeMagnifyExtents(int rectIconPx, int rectIconWd);

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2,
// 3.5 -> 4), whatever the floating-point environment says.
int RoundHalfToEven(double value);

// Side of an item whose centre is `distance` pixels from the pointer:
// 50 + RectIconPx under the pointer, falling to 50 at the radius and beyond.
// Takes the settings as stored (clamped here).
int MagnifiedItemSize(int rectIconPx, int rectIconWd, int distance);

// The size the item's picture is drawn at inside an item window of this side.
int RectItemIconSize(int side);

// Screen y of the bar window: 25 pixels of the bar hang over the screen's
// edge, above the top or below the bottom.
int ComputeRectTop(int rectPosition, const Rect& screen, int barHeight);
int RectItemOffsetY(int rectPosition);
bool IsRectAtBottom(int rectPosition);
int RestingBarWidth(int itemCount);

struct RectLayout {
  Rect Bar;
  std::vector<Rect> Items;  // item j (window "Rect" + j) at index j - 1
  bool Magnified = false;
};

// Bar and items at rest: the bar centred, items 50 apart from bar left + 25.
RectLayout LayoutRectAtRest(const RectDockParams& params);

// The pointer has just come onto the bar. Distances are measured from where
// each item's centre is expected once the bar has widened.
RectLayout Magnify(const RectDockParams& params, int pointerX);

// The pointer moved horizontally while magnified: distances from each item's
// centre in `current`. A `current` with another item count than params is
// taken as the resting layout.
RectLayout Remagnify(const RectDockParams& params, const RectLayout& current, int pointerX);

// Back to rest when magnified; an unmagnified layout is returned as it is.
RectLayout CollapseRectBar(const RectDockParams& params, const RectLayout& current);

// The bar shrunk by 25 pixels left and right and 12 at the top and bottom.
Rect InnerZone(const Rect& bar);
// Coming onto the bar: the zone's left and top edges count as inside, its
// right and bottom edges do not.
bool EntersInnerZone(const Rect& bar, Point pointer);
// Leaving it: strictly beyond one of its edges. A pointer exactly on the right
// or bottom edge neither enters nor leaves.
bool LeavesInnerZone(const Rect& bar, Point pointer);

// The dock's pointer tracking as a value: the layout on screen and the x of
// the last re-layout.
struct RectTracking {
  RectLayout Layout;
  int LastPointerX = 0;
};

// Whether a pointer move over the bar or an item changes anything: coming
// into the inner zone, a new x while magnified, or leaving the zone. A move
// that only changes y inside the zone costs nothing.
bool NeedsRelayout(const RectTracking& tracking, Point pointer);

// The whole pointer-move handler: magnify on entry, re-magnify on a new x,
// collapse on leaving. `collapsed` tells the caller to schedule the
// working-set trim.
RectTracking TrackRectPointer(const RectDockParams& params, const RectTracking& tracking, Point pointer,
                              bool* collapsed = nullptr);

struct RectItemChange {
  int Index = 0;         // into RectLayout::Items
  bool Resized = false;  // a new picture to draw and push; otherwise only moved
};

struct RectLayoutChanges {
  bool BarMoved = false;
  bool BarResized = false;  // the bar's picture must be redrawn
  std::vector<RectItemChange> Items;
  bool Any() const { return BarMoved || BarResized || !Items.empty(); }
};

// What the window code must do to go from `before` to `after`: items whose
// bounds changed, in order, each marked resized or only moved. Items only in
// `after` count as resized; windows of items only in `before` are the
// caller's to close.
RectLayoutChanges DiffRectLayouts(const RectLayout& before, const RectLayout& after);

}  // namespace qv::dock
