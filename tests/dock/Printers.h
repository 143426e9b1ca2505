#pragma once

// Rectangles and points printed as numbers in failure messages.

#include <ostream>

#include "platform/Geometry.h"

namespace qv {

inline void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
}

inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.x << ", " << p.y << ")"; }

}  // namespace qv
