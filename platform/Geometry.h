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

// Every size the program works with is a logical pixel at 96 DPI. On a scaled
// display a window is made of more physical pixels: a length becomes
// length * dpi / 96, rounded half away from zero as the system's MulDiv does.
// Positions and sizes are scaled one by one, so a surface drawn
// ScaleForDpi(width) wide always fills the window placed with ScaleForDpi(rect).
inline constexpr int kBaseDpi = 96;

constexpr int ScaleForDpi(int logical, int dpi) {
  const long long n = static_cast<long long>(logical) * dpi;
  return static_cast<int>(n >= 0 ? (n + kBaseDpi / 2) / kBaseDpi : -((-n + kBaseDpi / 2) / kBaseDpi));
}
constexpr int UnscaleForDpi(int physical, int dpi) {
  if (dpi <= 0) return physical;
  const long long n = static_cast<long long>(physical) * kBaseDpi;
  return static_cast<int>(n >= 0 ? (n + dpi / 2) / dpi : -((-n + dpi / 2) / dpi));
}
constexpr Point ScaleForDpi(Point p, int dpi) { return {ScaleForDpi(p.x, dpi), ScaleForDpi(p.y, dpi)}; }
constexpr Point UnscaleForDpi(Point p, int dpi) { return {UnscaleForDpi(p.x, dpi), UnscaleForDpi(p.y, dpi)}; }
constexpr Rect ScaleForDpi(const Rect& r, int dpi) {
  return {ScaleForDpi(r.left, dpi), ScaleForDpi(r.top, dpi), ScaleForDpi(r.width, dpi), ScaleForDpi(r.height, dpi)};
}
constexpr Rect UnscaleForDpi(const Rect& r, int dpi) {
  return {UnscaleForDpi(r.left, dpi), UnscaleForDpi(r.top, dpi), UnscaleForDpi(r.width, dpi),
          UnscaleForDpi(r.height, dpi)};
}

}  // namespace qv
