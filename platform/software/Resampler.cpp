#include "platform/software/Resampler.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qv::software {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Keys' cubic with a = -0.5: zero from distance 2 on.
double Cubic(double x) {
  x = std::fabs(x);
  if (x < 1) return (1.5 * x - 2.5) * x * x + 1;
  if (x < 2) return ((-0.5 * x + 2.5) * x - 4) * x + 2;
  return 0;
}

// Every double that becomes an int passes through here: NaN and values past
// either end, whatever a caller computed, land on the ends.
int ClampToInt(double v, int lo, int hi) {
  if (!(v > lo)) return lo;
  if (!(v < hi)) return hi;
  return static_cast<int>(v);
}

// To the nearest byte, halves to even as nearbyint rounds in the default
// mode; NaN and values past either end land on the ends. Without the library
// call: MinGW's goes through the x87 unit's control word, four times a pixel,
// and made the dock's bar five times slower to draw than here.
std::uint8_t ToByte(double v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  const int whole = static_cast<int>(v);
  const double rest = v - whole;  // exact: v and its whole part are near each other
  // Without branches: which way a fraction goes is as good as random, and
  // a wrong guess cost more than the sum.
  const int up = static_cast<int>(rest > 0.5) | (static_cast<int>(rest == 0.5) & whole);
  return static_cast<std::uint8_t>(whole + up);
}

// One direction of the picture as the source rectangle shows it. Samples
// beyond the rectangle read it mirrored, as the platform's imaging library
// does with the flip-tiling the win32 canvas asks for, so edges keep their
// colour instead of fading or smearing.
struct Axis {
  int lo = 0;          // the rectangle's first pixel in the picture
  int count = 1;       // and the number of its pixels, at least 1
  double origin = 0;   // the rectangle's start, picture pixels
  double scale = 1;    // picture pixels per target pixel
  double support = 1;  // kernel widening: 1 when enlarging, the scale when shrinking
  int maxTaps = 5;

  Axis(double start, double length, double targetLength, int pictureLength) {
    lo = ClampToInt(std::floor(start), 0, pictureLength - 1);
    count = ClampToInt(std::ceil(start + length), lo + 1, pictureLength) - lo;
    origin = start;
    scale = length / targetLength;
    // A kernel wider than the rectangle only repeats its mirror images; the
    // cap bounds the work when a large picture is drawn into almost nothing.
    support = std::clamp(scale, 1.0, std::max(1.0, static_cast<double>(count)));
    maxTaps = static_cast<int>(4 * support) + 2;
  }

  int Mirror(int i) const {
    if (i >= lo && i - lo < count) return i;  // inside: no division
    const int period = 2 * count;
    int k = (i - lo) % period;
    if (k < 0) k += period;
    return lo + (k < count ? k : period - 1 - k);
  }

  // The picture pixels and normalised weights that make the sample at s, a
  // position in picture pixels with pixel i's centre at i. Returns how many.
  int Taps(double s, int* index, double* weight) const {
    // Samples of a sane request lie within half a target pixel of the
    // rectangle; the clamp only keeps the arithmetic of an absurd one bounded.
    s = std::clamp(s, lo - 2 * support - 1, lo + count + 2 * support);
    const int first = static_cast<int>(std::floor(s - 2 * support)) + 1;
    const int last = static_cast<int>(std::floor(s + 2 * support));
    int n = 0;
    double sum = 0;
    for (int i = first; i <= last && n < maxTaps; ++i) {
      const double w = Cubic((i - s) / support);
      if (w == 0) continue;
      index[n] = Mirror(i);
      weight[n] = w;
      sum += w;
      ++n;
    }
    if (sum <= 0) return 0;
    for (int k = 0; k < n; ++k) weight[k] /= sum;
    return n;
  }
};

struct Sample {
  double b = 0, g = 0, r = 0, a = 0;
};

// The separable filter at one point: rows of taps times columns of taps.
Sample Filter(const LayeredSurface& picture, const int* xi, const double* xw, int nx, const int* yi, const double* yw,
              int ny) {
  Sample out;
  for (int j = 0; j < ny; ++j) {
    const std::uint32_t* row =
        &picture.pixels[static_cast<std::size_t>(yi[j]) * static_cast<std::size_t>(picture.width)];
    double b = 0, g = 0, r = 0, a = 0;
    for (int k = 0; k < nx; ++k) {
      const std::uint32_t p = row[xi[k]];
      const double w = xw[k];
      b += w * BlueOf(p);
      g += w * GreenOf(p);
      r += w * RedOf(p);
      a += w * AlphaOf(p);
    }
    const double w = yw[j];
    out.b += w * b;
    out.g += w * g;
    out.r += w * r;
    out.a += w * a;
  }
  return out;
}

// Inlined into every loop: a call per pixel, with the sample on the stack,
// cost as much as the filtering itself.
[[gnu::always_inline]] inline void Put(std::uint32_t& out, const Sample& s, Blend blend) {
  // The filter's lobes overshoot at hard edges; a premultiplied colour never
  // exceeds its alpha.
  const double a = std::clamp(s.a, 0.0, 255.0);
  // Drawn over, a clear sample keeps the pixel as it is and an opaque one
  // replaces it: the sums below give exactly that (keep is 1 or 0), without
  // their work. Most of an item's picture is one or the other.
  if (blend != Blend::SourceCopy && a == 0) return;
  const double b = std::clamp(s.b, 0.0, a), g = std::clamp(s.g, 0.0, a), r = std::clamp(s.r, 0.0, a);
  if (blend == Blend::SourceCopy || a == 255) {
    out = PackBgra(ToByte(b), ToByte(g), ToByte(r), ToByte(a));
    return;
  }
  const double keep = 1.0 - a / 255.0;
  out = PackBgra(ToByte(b + BlueOf(out) * keep), ToByte(g + GreenOf(out) * keep), ToByte(r + RedOf(out) * keep),
                 ToByte(a + AlphaOf(out) * keep));
}

bool Finite(const RectF& r) {
  return std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.width) && std::isfinite(r.height);
}

bool Whole(const LayeredSurface& s) { return s.Whole(); }

}  // namespace

void DrawPicture(LayeredSurface& target, const LayeredSurface& picture, const DrawParams& params) {
  if (!Whole(target) || !Whole(picture)) return;
  const RectF& dst = params.destination;
  const RectF src = params.source
                        ? *params.source
                        : RectF{0, 0, static_cast<double>(picture.width), static_cast<double>(picture.height)};
  if (!Finite(dst) || !Finite(src) || !std::isfinite(params.rotationDegrees) || !std::isfinite(params.pivot.x) ||
      !std::isfinite(params.pivot.y))
    return;
  if (!(dst.width > 0 && dst.height > 0 && src.width > 0 && src.height > 0)) return;

  const Axis ax(src.x, src.width, dst.width, picture.width);
  const Axis ay(src.y, src.height, dst.height, picture.height);
  std::vector<int> xi(static_cast<std::size_t>(ax.maxTaps)), yi(static_cast<std::size_t>(ay.maxTaps));
  std::vector<double> xw(xi.size()), yw(yi.size());

  // Whole turns are no turn: the common unrotated draw takes the fast path,
  // where each column's and each row's taps are worked out once.
  const double turns = std::fmod(params.rotationDegrees, 360.0);
  if (turns == 0) {
    const int x0 = ClampToInt(std::floor(dst.x), 0, target.width),
              x1 = ClampToInt(std::ceil(dst.x + dst.width), 0, target.width);
    const int y0 = ClampToInt(std::floor(dst.y), 0, target.height),
              y1 = ClampToInt(std::ceil(dst.y + dst.height), 0, target.height);
    if (x0 >= x1 || y0 >= y1) return;
    // At its own size on whole pixels every target pixel is one picture
    // pixel (the kernel is 1 at its centre and 0 at the other taps).
    if (ax.scale == 1 && ay.scale == 1 && std::floor(src.x - dst.x) == src.x - dst.x &&
        std::floor(src.y - dst.y) == src.y - dst.y) {
      const int shiftX = static_cast<int>(src.x - dst.x), shiftY = static_cast<int>(src.y - dst.y);
      for (int ty = y0; ty < y1; ++ty) {
        const double uy = ty + 0.5;
        if (!(uy >= dst.y && uy < dst.y + dst.height)) continue;
        const std::uint32_t* row =
            &picture.pixels[static_cast<std::size_t>(ay.Mirror(ty + shiftY)) * static_cast<std::size_t>(picture.width)];
        for (int tx = x0; tx < x1; ++tx) {
          const double ux = tx + 0.5;
          if (!(ux >= dst.x && ux < dst.x + dst.width)) continue;
          const std::uint32_t p = row[ax.Mirror(tx + shiftX)];
          const std::uint8_t a = AlphaOf(p);
          if (params.blend == Blend::SourceCopy || a == 255) {
            // What Put makes of whole numbers, in whole numbers.
            target.At(tx, ty) = PackBgra(std::min(BlueOf(p), a), std::min(GreenOf(p), a), std::min(RedOf(p), a), a);
          } else if (a != 0) {
            Put(target.At(tx, ty), Sample{double(BlueOf(p)), double(GreenOf(p)), double(RedOf(p)), double(a)},
                params.blend);
          }
        }
      }
      return;
    }
    const std::size_t columns = static_cast<std::size_t>(x1 - x0);
    const std::size_t stride = xi.size();
    std::vector<int> columnIndex(columns * stride);
    std::vector<double> columnWeight(columns * stride);
    std::vector<int> columnTaps(columns, 0);
    for (int tx = x0; tx < x1; ++tx) {
      // A pixel is drawn when its centre lies inside the destination.
      const double ux = tx + 0.5;
      if (!(ux >= dst.x && ux < dst.x + dst.width)) continue;
      const std::size_t c = static_cast<std::size_t>(tx - x0);
      columnTaps[c] =
          ax.Taps(ax.origin + (ux - dst.x) * ax.scale - 0.5, &columnIndex[c * stride], &columnWeight[c * stride]);
    }
    // Two passes: each picture row the draw reads is filtered across once
    // per target column, then the target rows mix those. The sums are the
    // ones a pixel-by-pixel filter makes, in the same order. The target rows
    // walk down the picture, so only as many filtered rows are kept as one
    // target row has taps: a wide draw (the dock's bar) holds a few rows of
    // its width, not the picture's height of them.
    const std::size_t pool = static_cast<std::size_t>(ay.maxTaps);
    std::vector<Sample> across(pool * columns);  // slot x target column
    std::vector<int> slotRow(pool, -1);          // the picture row a slot holds
    std::vector<int> rowSlot(static_cast<std::size_t>(picture.height), -1);
    std::vector<Sample> rowSamples(static_cast<std::size_t>(picture.width));
    for (int ty = y0; ty < y1; ++ty) {
      const double uy = ty + 0.5;
      if (!(uy >= dst.y && uy < dst.y + dst.height)) continue;
      const int ny = ay.Taps(ay.origin + (uy - dst.y) * ay.scale - 0.5, yi.data(), yw.data());
      if (ny == 0) continue;
      for (int j = 0; j < ny; ++j) {
        if (rowSlot[static_cast<std::size_t>(yi[j])] >= 0) continue;
        // A slot no tap of this target row reads: there is one, since a row
        // has at most pool taps and those already kept hold their own slots.
        std::size_t free = 0;
        while (free < pool && slotRow[free] >= 0 &&
               std::find(yi.data(), yi.data() + ny, slotRow[free]) != yi.data() + ny)
          ++free;
        if (slotRow[free] >= 0) rowSlot[static_cast<std::size_t>(slotRow[free])] = -1;
        slotRow[free] = yi[j];
        rowSlot[static_cast<std::size_t>(yi[j])] = static_cast<int>(free);
        Sample* filtered = &across[free * columns];
        // The row's channels as numbers once, not once per tap that reads
        // them; the sums are the ones Filter makes for a single row.
        const std::uint32_t* source =
            &picture.pixels[static_cast<std::size_t>(yi[j]) * static_cast<std::size_t>(picture.width)];
        for (int x = 0; x < picture.width; ++x) {
          const std::uint32_t px = source[x];
          rowSamples[static_cast<std::size_t>(x)] =
              Sample{double(BlueOf(px)), double(GreenOf(px)), double(RedOf(px)), double(AlphaOf(px))};
        }
        for (std::size_t c = 0; c < columns; ++c) {
          const int taps = columnTaps[c];
          if (taps == 0) continue;
          const int* index = &columnIndex[c * stride];
          const double* weight = &columnWeight[c * stride];
          Sample sum;
          for (int k = 0; k < taps; ++k) {
            const Sample& s = rowSamples[static_cast<std::size_t>(index[k])];
            const double w = weight[k];
            sum.b += w * s.b;
            sum.g += w * s.g;
            sum.r += w * s.r;
            sum.a += w * s.a;
          }
          filtered[c] = sum;
        }
      }
      for (int tx = x0; tx < x1; ++tx) {
        const std::size_t c = static_cast<std::size_t>(tx - x0);
        if (columnTaps[c] == 0) continue;
        Sample out;
        for (int j = 0; j < ny; ++j) {
          const Sample& h = across[static_cast<std::size_t>(rowSlot[static_cast<std::size_t>(yi[j])]) * columns + c];
          const double w = yw[j];
          out.b += w * h.b;
          out.g += w * h.g;
          out.r += w * h.r;
          out.a += w * h.a;
        }
        Put(target.At(tx, ty), out, params.blend);
      }
    }
    return;
  }

  const double angle = turns * kPi / 180.0;
  const double cs = std::cos(angle), sn = std::sin(angle);
  const PointF pv = params.pivot;
  // Turning is clockwise on screen, where y grows downwards. The turned
  // corners of the destination bound the pixels to visit.
  double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
  for (const double cx : {dst.x, dst.x + dst.width}) {
    for (const double cy : {dst.y, dst.y + dst.height}) {
      const double dx = cx - pv.x, dy = cy - pv.y;
      const double rx = pv.x + dx * cs - dy * sn, ry = pv.y + dx * sn + dy * cs;
      minX = std::min(minX, rx), maxX = std::max(maxX, rx), minY = std::min(minY, ry), maxY = std::max(maxY, ry);
    }
  }
  const int x0 = ClampToInt(std::floor(minX), 0, target.width), x1 = ClampToInt(std::ceil(maxX), 0, target.width);
  const int y0 = ClampToInt(std::floor(minY), 0, target.height), y1 = ClampToInt(std::ceil(maxY), 0, target.height);
  for (int ty = y0; ty < y1; ++ty) {
    for (int tx = x0; tx < x1; ++tx) {
      // Undo the turn, then map the destination rectangle onto the source one.
      const double px = tx + 0.5 - pv.x, py = ty + 0.5 - pv.y;
      const double ux = pv.x + px * cs + py * sn, uy = pv.y - px * sn + py * cs;
      if (!(ux >= dst.x && uy >= dst.y && ux < dst.x + dst.width && uy < dst.y + dst.height)) continue;
      const int nx = ax.Taps(ax.origin + (ux - dst.x) * ax.scale - 0.5, xi.data(), xw.data());
      const int ny = ay.Taps(ay.origin + (uy - dst.y) * ay.scale - 0.5, yi.data(), yw.data());
      if (nx == 0 || ny == 0) continue;
      Put(target.At(tx, ty), Filter(picture, xi.data(), xw.data(), nx, yi.data(), yw.data(), ny), params.blend);
    }
  }
}

}  // namespace qv::software
