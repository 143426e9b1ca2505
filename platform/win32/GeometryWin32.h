#pragma once

// Conversions between the program's geometry and the window system's. A
// RECT holds edges, a Rect holds an origin and a size.

#include "platform/Geometry.h"
#include "platform/win32/Win32Api.h"

namespace qv::win32 {

inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.Right(), r.Bottom()}; }
inline Rect FromRECT(const RECT& r) {
  return Rect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
              static_cast<int>(r.bottom - r.top)};
}
inline POINT ToPOINT(Point p) { return POINT{p.x, p.y}; }
inline Point FromPOINT(POINT p) { return Point{static_cast<int>(p.x), static_cast<int>(p.y)}; }
inline SIZE ToSIZE(Size s) { return SIZE{s.width, s.height}; }
inline Size FromSIZE(SIZE s) { return Size{static_cast<int>(s.cx), static_cast<int>(s.cy)}; }

}  // namespace qv::win32
