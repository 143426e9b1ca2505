#include "round/ScreenFit.h"

#include <algorithm>
#include <limits>

#include "round/RingGeometry.h"

namespace qv::round {

namespace {

Rect Union(const Rect& a, const Rect& b) {
  const int left = std::min(a.left, b.left);
  const int top = std::min(a.top, b.top);
  return {left, top, std::max(a.Right(), b.Right()) - left, std::max(a.Bottom(), b.Bottom()) - top};
}

// Whether every point of ring lies on some area. The areas' edges cut the
// ring into cells that are each wholly on an area or wholly off all of them.
bool Covered(const Rect& ring, const std::vector<Rect>& areas) {
  std::vector<int> xs{ring.left, ring.Right()};
  std::vector<int> ys{ring.top, ring.Bottom()};
  for (const Rect& a : areas) {
    for (int x : {a.left, a.Right()})
      if (x > ring.left && x < ring.Right()) xs.push_back(x);
    for (int y : {a.top, a.Bottom()})
      if (y > ring.top && y < ring.Bottom()) ys.push_back(y);
  }
  std::sort(xs.begin(), xs.end());
  std::sort(ys.begin(), ys.end());
  for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
    for (std::size_t j = 0; j + 1 < ys.size(); ++j) {
      if (xs[i] == xs[i + 1] || ys[j] == ys[j + 1]) continue;
      const bool on = std::any_of(areas.begin(), areas.end(), [&](const Rect& a) {
        return xs[i] >= a.left && xs[i + 1] <= a.Right() && ys[j] >= a.top && ys[j + 1] <= a.Bottom();
      });
      if (!on) return false;
    }
  }
  return true;
}

// The start of a span of this length moved the least to lie within
// [low, high); a span longer than that keeps its middle within it instead.
int FitSpan(int start, int length, int low, int high) {
  if (length <= high - low) return std::clamp(start, low, high - length);
  const int middle = std::clamp(start + length / 2, low, high - 1);
  return middle - length / 2;
}

// The square reaching half to each side of the main form's centre.
Rect AroundCentre(const Rect& mainForm, int half) {
  const Point centre = RingCentre(mainForm);
  return {centre.x - half, centre.y - half, 2 * half, 2 * half};
}

}  // namespace

Rect SkinReach(const Rect& mainForm, int skinSize) {
  return Union(mainForm, AroundCentre(mainForm, skinSize / 2));
}

Rect RingReach(const Rect& mainForm, int skinSize, int minR, int separationSize) {
  return Union(SkinReach(mainForm, skinSize),
               AroundCentre(mainForm, OuterRingRadius(minR, separationSize) + kRingIconSize / 2));
}

Rect FitOnScreen(const Rect& ring, const std::vector<Rect>& workAreas) {
  if (workAreas.empty() || Covered(ring, workAreas)) return ring;
  Rect best = ring;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (const Rect& area : workAreas) {
    if (area.width <= 0 || area.height <= 0) continue;
    Rect moved = ring;
    moved.left = FitSpan(ring.left, ring.width, area.left, area.Right());
    moved.top = FitSpan(ring.top, ring.height, area.top, area.Bottom());
    const long long dx = moved.left - ring.left;
    const long long dy = moved.top - ring.top;
    if (dx * dx + dy * dy < bestDistance) {
      bestDistance = dx * dx + dy * dy;
      best = moved;
    }
  }
  return best;
}

bool KeepRingOnScreen(IWindowSystem& windows, WindowId mainForm, config::Settings& settings) {
  Rect main = windows.Bounds(mainForm);
  const std::vector<Rect> areas = windows.WorkAreas();
  const Rect skin = SkinReach(main, settings.BackgroundSize);
  if (FitOnScreen(skin, areas) == skin) return false;
  const Rect ring = RingReach(main, settings.BackgroundSize, settings.MinR, settings.SeparationSize);
  const Rect fitted = FitOnScreen(ring, areas);
  main.left += fitted.left - ring.left;
  main.top += fitted.top - ring.top;
  windows.SetBounds(mainForm, main);
  settings.PositionLeft = main.left;
  settings.PositionTop = main.top;
  return true;
}

}  // namespace qv::round
