#include "dock/BarSlices.h"

#include <algorithm>

#include "dock/RectLayout.h"

namespace qv::dock {

bool IsUsableTheme(Size theme) {
  return theme.width >= kMinThemeWidth && theme.height >= kMinThemeHeight && theme.height <= kMaxThemeHeight;
}

int RectBarHeight(Size theme) { return IsUsableTheme(theme) ? theme.height : kDefaultBarHeight; }

BarDrawing ComputeBarDrawing(Size bar, Size theme) {
  BarDrawing drawing;
  drawing.Surface = {std::max(0, bar.width), std::max(0, bar.height)};
  if (!IsUsableTheme(theme) || drawing.Surface.width < 2 * kBarCapWidth || drawing.Surface.height == 0) return drawing;
  const int middleWidth = drawing.Surface.width - 2 * kBarCapWidth;
  // The slices keep the picture's own height: a bar taller than the theme (a
  // theme swapped in before the next layout) shows it at the top, clear below.
  const int height = theme.height;
  drawing.Slices[drawing.SliceCount++] = {{0, 0, kBarCapWidth, height}, {0, 0, kBarCapWidth, height}};
  if (middleWidth > 0)
    drawing.Slices[drawing.SliceCount++] = {{kBarCapWidth, 0, theme.width - 2 * kBarCapWidth, height},
                                            {kBarCapWidth, 0, middleWidth, height}};
  drawing.Slices[drawing.SliceCount++] = {{theme.width - kBarCapWidth, 0, kBarCapWidth, height},
                                          {drawing.Surface.width - kBarCapWidth, 0, kBarCapWidth, height}};
  return drawing;
}

}  // namespace qv::dock
