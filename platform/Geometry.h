#pragma once

// The program's own geometry types; conversions to the window system's types
// live in one file of each backend.

namespace qv {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
  int width = 0;
  int height = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool Contains(Point p) const { return p.x >= left && p.y >= top && p.x < Right() && p.y < Bottom(); }
  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace qv
