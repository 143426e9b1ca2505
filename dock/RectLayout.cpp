#include "dock/RectLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qv::dock {
namespace {

int ClampIconPx(int rectIconPx) { return std::clamp(rectIconPx, kMinRectIconPx, kMaxRectIconPx); }
int ClampIconWd(int rectIconWd) { return std::clamp(rectIconWd, kMinRectIconWd, kMaxRectIconWd); }
int ClampItemCount(int itemCount) { return std::clamp(itemCount, 0, kMaxRectItems); }

// Growth of every item in one pass needs the settings already clamped and
// the extents computed once, not per item.
struct Growth {
  int iconPx;
  double exponent;
  int radius;

  Growth(int rectIconPx, int rectIconWd)
      : iconPx(ClampIconPx(rectIconPx)),
        // RectIconWd 4 gives 1.5: a real division, not an integer one.
        exponent(ClampIconWd(rectIconWd) / 10.0 + 1.1),
        radius(ComputeMagnifyExtents(rectIconPx, rectIconWd).MagnifyRadius) {}

  int SizeAt(int distance) const {
    if (distance >= radius) return kRectIconSize;
    const double ratio = static_cast<double>(distance) / radius;
    const int shrink = RoundHalfToEven(iconPx * std::pow(ratio, exponent));
    return iconPx + kRectIconSize - shrink;
  }
};

int BarLeft(const Rect& screen, int barWidth) { return screen.left + screen.width / 2 - barWidth / 2; }

int RestingItemTop(const RectDockParams& params, int barTop) {
  return barTop + kRectItemInset + RectItemOffsetY(params.RectPosition);
}

// Magnified items grow down from their resting top at the top of the screen
// and up from their resting bottom at the bottom, so the row's edge nearest
// the screen's edge stays in line.
int MagnifiedItemTop(const RectDockParams& params, int barTop, int side) {
  const int top = RestingItemTop(params, barTop);
  return IsRectAtBottom(params.RectPosition) ? top - (side - kRectIconSize) : top;
}

// Places the bar for a row that grew by `extra` and lays the items out left to
// right from its left + 25, each at its own size.
RectLayout PlaceMagnified(const RectDockParams& params, const std::vector<int>& sizes, int extra) {
  RectLayout layout;
  layout.Magnified = true;
  const int width = RestingBarWidth(static_cast<int>(sizes.size())) + extra;
  layout.Bar = {BarLeft(params.Screen, width), ComputeRectTop(params.RectPosition, params.Screen, params.BarHeight),
                width, params.BarHeight};
  layout.Items.reserve(sizes.size());
  int x = layout.Bar.left + kRectItemInset;
  for (int side : sizes) {
    layout.Items.push_back({x, MagnifiedItemTop(params, layout.Bar.top, side), side, side});
    x += side;
  }
  return layout;
}

}  // namespace

MagnifyExtents ComputeMagnifyExtents(int rectIconPx, int rectIconWd) {
  const int iconPx = ClampIconPx(rectIconPx);
  const int iconWd = ClampIconWd(rectIconWd);
  MagnifyExtents extents;
  extents.MagnifyExtraMax = iconPx * iconWd * 128 / 200;
  extents.MagnifyRadius = (extents.MagnifyExtraMax + (iconWd + 1) * kRectIconSize) / 2;
  return extents;
}

int RoundHalfToEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  double rounded = floor;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0)) rounded = floor + 1;
  return static_cast<int>(rounded);
}

int MagnifiedItemSize(int rectIconPx, int rectIconWd, int distance) {
  return Growth(rectIconPx, rectIconWd).SizeAt(std::abs(distance));
}

int RectItemIconSize(int side) { return side == kRectIconSize ? kRectRestIconSize : std::max(0, side - 1); }

bool IsRectAtBottom(int rectPosition) { return rectPosition == 1; }

int ComputeRectTop(int rectPosition, const Rect& screen, int barHeight) {
  if (IsRectAtBottom(rectPosition)) return screen.top + screen.height - barHeight + kBarCapWidth;
  return screen.top - kBarCapWidth;
}

int RectItemOffsetY(int rectPosition) {
  return IsRectAtBottom(rectPosition) ? -kRectItemOffsetYTop : kRectItemOffsetYTop;
}

int RestingBarWidth(int itemCount) { return ClampItemCount(itemCount) * kRectIconSize + 2 * kBarCapWidth; }

RectLayout LayoutRectAtRest(const RectDockParams& params) {
  const int count = ClampItemCount(params.ItemCount);
  RectLayout layout;
  const int width = RestingBarWidth(count);
  layout.Bar = {BarLeft(params.Screen, width), ComputeRectTop(params.RectPosition, params.Screen, params.BarHeight),
                width, params.BarHeight};
  layout.Items.reserve(count);
  const int top = RestingItemTop(params, layout.Bar.top);
  for (int k = 0; k < count; ++k)
    layout.Items.push_back({layout.Bar.left + kRectItemInset + kRectIconSize * k, top, kRectIconSize, kRectIconSize});
  return layout;
}

RectLayout Magnify(const RectDockParams& params, int pointerX) {
  const int count = ClampItemCount(params.ItemCount);
  const Growth growth(params.RectIconPx, params.RectIconWd);
  const int extraMax = ComputeMagnifyExtents(params.RectIconPx, params.RectIconWd).MagnifyExtraMax;
  // The first item's centre once the bar has widened by the most it can; each
  // later item's estimate moves on by the size just given to the one before.
  int x = params.Screen.left + (params.Screen.width - RestingBarWidth(count) - extraMax + kRectIconSize) / 2 +
          kRectItemInset;
  std::vector<int> sizes(count);
  int extra = 0;
  for (int k = 0; k < count; ++k) {
    sizes[k] = growth.SizeAt(std::abs(pointerX - x));
    extra += sizes[k] - kRectIconSize;
    x += sizes[k];
  }
  return PlaceMagnified(params, sizes, extra);
}

RectLayout Remagnify(const RectDockParams& params, const RectLayout& current, int pointerX) {
  const int count = ClampItemCount(params.ItemCount);
  if (static_cast<int>(current.Items.size()) != count) return Remagnify(params, LayoutRectAtRest(params), pointerX);
  const Growth growth(params.RectIconPx, params.RectIconWd);
  std::vector<int> sizes(count);
  int extra = 0;
  for (int k = 0; k < count; ++k) {
    const Rect& item = current.Items[k];
    sizes[k] = growth.SizeAt(std::abs(pointerX - (item.left + item.width / 2)));
    extra += sizes[k] - kRectIconSize;
  }
  return PlaceMagnified(params, sizes, extra);
}

RectLayout CollapseRectBar(const RectDockParams& params, const RectLayout& current) {
  return current.Magnified ? LayoutRectAtRest(params) : current;
}

Rect InnerZone(const Rect& bar) {
  return {bar.left + kInnerZoneMarginX, bar.top + kInnerZoneMarginY, std::max(0, bar.width - 2 * kInnerZoneMarginX),
          std::max(0, bar.height - 2 * kInnerZoneMarginY)};
}

bool EntersInnerZone(const Rect& bar, Point pointer) { return InnerZone(bar).Contains(pointer); }

bool LeavesInnerZone(const Rect& bar, Point pointer) {
  return pointer.x < bar.left + kInnerZoneMarginX || pointer.x > bar.Right() - kInnerZoneMarginX ||
         pointer.y < bar.top + kInnerZoneMarginY || pointer.y > bar.Bottom() - kInnerZoneMarginY;
}

bool NeedsRelayout(const RectTracking& tracking, Point pointer) {
  if (!tracking.Layout.Magnified) return EntersInnerZone(tracking.Layout.Bar, pointer);
  return pointer.x != tracking.LastPointerX || LeavesInnerZone(tracking.Layout.Bar, pointer);
}

RectTracking TrackRectPointer(const RectDockParams& params, const RectTracking& tracking, Point pointer,
                              bool* collapsed) {
  if (collapsed) *collapsed = false;
  RectTracking next = tracking;
  if (!next.Layout.Magnified) {
    if (!EntersInnerZone(next.Layout.Bar, pointer)) return next;
    next.Layout = Magnify(params, pointer.x);
  }
  // Entering runs on into the magnified branch: the estimate Magnify made is
  // corrected at once from the items' real centres when x is new.
  if (pointer.x != next.LastPointerX) {
    next.Layout = Remagnify(params, next.Layout, pointer.x);
    next.LastPointerX = pointer.x;
  }
  if (LeavesInnerZone(next.Layout.Bar, pointer)) {
    next.Layout = CollapseRectBar(params, next.Layout);
    if (collapsed) *collapsed = true;
  }
  return next;
}

RectLayoutChanges DiffRectLayouts(const RectLayout& before, const RectLayout& after) {
  RectLayoutChanges changes;
  changes.BarMoved = before.Bar.left != after.Bar.left || before.Bar.top != after.Bar.top;
  changes.BarResized = before.Bar.width != after.Bar.width || before.Bar.height != after.Bar.height;
  const std::size_t common = std::min(before.Items.size(), after.Items.size());
  for (std::size_t i = 0; i < after.Items.size(); ++i) {
    if (i >= common) {
      changes.Items.push_back({static_cast<int>(i), true});
      continue;
    }
    const Rect& a = before.Items[i];
    const Rect& b = after.Items[i];
    if (a == b) continue;
    changes.Items.push_back({static_cast<int>(i), a.width != b.width || a.height != b.height});
  }
  return changes;
}

}  // namespace qv::dock
