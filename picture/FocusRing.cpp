#include "picture/FocusRing.h"

#include <algorithm>
#include <cmath>

#include "platform/Geometry.h"

namespace qv::picture {

namespace {

struct Band {
  double from;  // depth from the picture's edge, in pixels at the base scale
  double to;
  std::uint8_t r, g, b, a;
};

// Outside in: a light edge, the blue band, a light inner line.
constexpr Band kBands[] = {
    {0.0, 1.0, 255, 255, 255, 230},
    {1.0, 3.5, 0, 120, 215, 255},
    {3.5, 4.5, 255, 255, 255, 190},
};
constexpr double kCornerRadius = 9.0;

// How far a point lies inside the rounded rectangle that fills the picture
// (negative outside).
double Depth(double x, double y, double width, double height, double radius) {
  const double qx = std::abs(x - width / 2) - (width / 2 - radius);
  const double qy = std::abs(y - height / 2) - (height / 2 - radius);
  const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return radius - outside - std::min(std::max(qx, qy), 0.0);
}

std::uint32_t Over(std::uint32_t under, std::uint8_t r, std::uint8_t g, std::uint8_t b, double alpha) {
  const double keep = 1.0 - alpha;
  auto mix = [&](std::uint8_t top, std::uint8_t bottom) {
    return static_cast<std::uint8_t>(std::lround(top * alpha + bottom * keep));
  };
  return PackBgra(mix(b, BlueOf(under)), mix(g, GreenOf(under)), mix(r, RedOf(under)),
                  mix(255, AlphaOf(under)));
}

}  // namespace

void DrawFocusRing(LayeredSurface& picture, int dpi) {
  if (!picture.Whole()) return;
  const double scale = static_cast<double>(dpi) / kBaseDpi;
  const double w = picture.width;
  const double h = picture.height;
  const double radius = std::min({kCornerRadius * scale, w / 2, h / 2});
  const double reach = kBands[std::size(kBands) - 1].to * scale + 1;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const double depth = Depth(x + 0.5, y + 0.5, w, h, radius);
      if (depth > reach || depth < -0.5) continue;
      std::uint32_t& pixel = picture.At(x, y);
      for (const Band& band : kBands) {
        // The part of the pixel the band covers, one pixel wide at its edges.
        const double cover = std::clamp(std::min(depth - band.from * scale, band.to * scale - depth) + 0.5, 0.0, 1.0);
        if (cover > 0) pixel = Over(pixel, band.r, band.g, band.b, cover * band.a / 255.0);
      }
    }
  }
}

}  // namespace qv::picture
