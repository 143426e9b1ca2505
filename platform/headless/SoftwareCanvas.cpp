#include "platform/headless/SoftwareCanvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace qv::headless {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Keys' cubic with a = -0.5.
double Cubic(double x) {
  x = std::fabs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

struct Accum {
  double b = 0, g = 0, r = 0, a = 0;
};

std::uint8_t ToByte(double v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

void SoftwareCanvas::DrawImage(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) {
  if (target.Empty() || picture.Empty()) return;
  const RectF& dst = params.destination;
  if (dst.width <= 0 || dst.height <= 0) return;
  const RectF src = params.source ? *params.source
                                  : RectF{0, 0, static_cast<double>(picture.width), static_cast<double>(picture.height)};
  if (src.width <= 0 || src.height <= 0) return;

  const double scaleX = src.width / dst.width;  // picture pixels per target pixel
  const double scaleY = src.height / dst.height;
  const double supportX = std::max(1.0, scaleX), supportY = std::max(1.0, scaleY);
  const double angle = params.rotationDegrees * kPi / 180.0;
  const double cs = std::cos(angle), sn = std::sin(angle);
  const PointF pv = params.pivot;

  // The corners of the destination after rotation bound the pixels to visit.
  double minX = 1e18, minY = 1e18, maxX = -1e18, maxY = -1e18;
  for (auto [cx, cy] : std::array<std::pair<double, double>, 4>{
           {{dst.x, dst.y}, {dst.x + dst.width, dst.y}, {dst.x, dst.y + dst.height}, {dst.x + dst.width, dst.y + dst.height}}}) {
    const double dx = cx - pv.x, dy = cy - pv.y;
    const double rx = pv.x + dx * cs - dy * sn, ry = pv.y + dx * sn + dy * cs;
    minX = std::min(minX, rx), maxX = std::max(maxX, rx), minY = std::min(minY, ry), maxY = std::max(maxY, ry);
  }
  const int x0 = std::max(0, static_cast<int>(std::floor(minX))), x1 = std::min(target.width, static_cast<int>(std::ceil(maxX)));
  const int y0 = std::max(0, static_cast<int>(std::floor(minY))), y1 = std::min(target.height, static_cast<int>(std::ceil(maxY)));

  for (int ty = y0; ty < y1; ++ty) {
    for (int tx = x0; tx < x1; ++tx) {
      // Undo the rotation, then map the destination rectangle onto the source one.
      const double px = tx + 0.5 - pv.x, py = ty + 0.5 - pv.y;
      const double ux = pv.x + px * cs + py * sn, uy = pv.y - px * sn + py * cs;
      if (ux < dst.x || uy < dst.y || ux >= dst.x + dst.width || uy >= dst.y + dst.height) continue;
      const double sx = src.x + (ux - dst.x) * scaleX - 0.5, sy = src.y + (uy - dst.y) * scaleY - 0.5;

      const int ix0 = static_cast<int>(std::floor(sx - 2 * supportX)) + 1, ix1 = static_cast<int>(std::floor(sx + 2 * supportX));
      const int iy0 = static_cast<int>(std::floor(sy - 2 * supportY)) + 1, iy1 = static_cast<int>(std::floor(sy + 2 * supportY));
      Accum acc;
      double weightSum = 0;
      for (int iy = iy0; iy <= iy1; ++iy) {
        const double wy = Cubic((iy - sy) / supportY);
        if (wy == 0) continue;
        const int cy = std::clamp(iy, static_cast<int>(src.y), static_cast<int>(std::ceil(src.y + src.height)) - 1);
        const int py2 = std::clamp(cy, 0, picture.height - 1);
        for (int ix = ix0; ix <= ix1; ++ix) {
          const double w = wy * Cubic((ix - sx) / supportX);
          if (w == 0) continue;
          const int cx = std::clamp(ix, static_cast<int>(src.x), static_cast<int>(std::ceil(src.x + src.width)) - 1);
          const std::uint32_t p = picture.At(std::clamp(cx, 0, picture.width - 1), py2);
          acc.b += w * BlueOf(p), acc.g += w * GreenOf(p), acc.r += w * RedOf(p), acc.a += w * AlphaOf(p);
          weightSum += w;
        }
      }
      if (weightSum <= 0) continue;
      double a = std::clamp(acc.a / weightSum, 0.0, 255.0);
      // Premultiplied colours never exceed their alpha.
      const double b = std::clamp(acc.b / weightSum, 0.0, a), g = std::clamp(acc.g / weightSum, 0.0, a),
                   r = std::clamp(acc.r / weightSum, 0.0, a);
      std::uint32_t& out = target.At(tx, ty);
      if (params.blend == Blend::SourceCopy) {
        out = PackBgra(ToByte(b), ToByte(g), ToByte(r), ToByte(a));
      } else {
        const double inv = 1.0 - a / 255.0;
        out = PackBgra(ToByte(b + BlueOf(out) * inv), ToByte(g + GreenOf(out) * inv), ToByte(r + RedOf(out) * inv),
                       ToByte(a + AlphaOf(out) * inv));
      }
    }
  }
}

}  // namespace qv::headless
