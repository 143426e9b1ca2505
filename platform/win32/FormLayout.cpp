#include "platform/win32/FormLayout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qv::win32 {

Rect ScaleEdges(const Rect& logical, int dpi) {
  const int left = ScaleForDpi(logical.left, dpi);
  const int top = ScaleForDpi(logical.top, dpi);
  return {left, top, ScaleForDpi(logical.left + logical.width, dpi) - left,
          ScaleForDpi(logical.top + logical.height, dpi) - top};
}

Rect ControlPlace(const FormSpec& design, const ControlSpec& control, Point pageOrigin, int dpi) {
  Rect logical = control.bounds;
  int page = control.page;
  if (!control.parent.empty()) {
    for (const ControlSpec& box : design.controls) {
      if (box.name != control.parent) continue;
      logical.left += box.bounds.left;
      logical.top += box.bounds.top;
      if (page < 0) page = box.page;
      break;
    }
  }
  if (control.kind == ControlKind::ComboBox) logical.height += kComboListHeight;
  if (page >= 0) {
    logical.left += pageOrigin.x;
    logical.top += pageOrigin.y;
  }
  return ScaleEdges(logical, dpi);
}

int FontHeight(const ControlFont& font, int formPoints, int dpi) {
  if (font.pixels > 0) return -ScaleForDpi(font.pixels, dpi);
  const long long points = font.points > 0 ? font.points : formPoints;
  // Rounded to nearest as MulDiv does: 8 points at 120 DPI are 13 pixels.
  return -static_cast<int>((points * dpi + 36) / 72);
}

Size FittedPicture(Size picture, Size box, int dpi) {
  if (picture.width <= 0 || picture.height <= 0 || box.width <= 0 || box.height <= 0) return {0, 0};
  const double scale = std::min({static_cast<double>(dpi) / kBaseDpi, static_cast<double>(box.width) / picture.width,
                                 static_cast<double>(box.height) / picture.height});
  return {std::max(1, static_cast<int>(picture.width * scale + 0.5)),
          std::max(1, static_cast<int>(picture.height * scale + 0.5))};
}

namespace {

struct Tap {
  int source;
  float weight;
};

// For each target index along one axis, the source indexes it reads and how much of each.
std::vector<std::vector<Tap>> AxisTaps(int from, int to) {
  std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(to));
  const double ratio = static_cast<double>(from) / to;
  for (int t = 0; t < to; ++t) {
    std::vector<Tap>& out = taps[static_cast<std::size_t>(t)];
    if (to <= from) {
      // The exact share of every source pixel the target pixel covers.
      const double begin = t * ratio;
      const double end = (t + 1) * ratio;
      for (int s = static_cast<int>(begin); s < from && s < end; ++s) {
        const double covered = std::min(end, s + 1.0) - std::max(begin, static_cast<double>(s));
        if (covered > 0) out.push_back({s, static_cast<float>(covered / ratio)});
      }
    } else {
      // Pixel centres line up: the target centre read between two source centres.
      const double at = std::clamp((t + 0.5) * ratio - 0.5, 0.0, static_cast<double>(from - 1));
      const int s = static_cast<int>(at);
      const float f = static_cast<float>(at - s);
      out.push_back({s, 1.0f - f});
      if (f > 0 && s + 1 < from) out.push_back({s + 1, f});
    }
  }
  return taps;
}

}  // namespace

LayeredSurface Resample(const LayeredSurface& picture, int width, int height) {
  if (!picture.Whole() || width <= 0 || height <= 0) return {};
  const auto columns = AxisTaps(picture.width, width);
  const auto rows = AxisTaps(picture.height, height);
  // Across first, into floats, then down: four channels per pixel.
  std::vector<float> across(static_cast<std::size_t>(width) * static_cast<std::size_t>(picture.height) * 4, 0.0f);
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < width; ++x) {
      float* out = &across[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * 4];
      for (const Tap& tap : columns[static_cast<std::size_t>(x)]) {
        const std::uint32_t p = picture.At(tap.source, y);
        out[0] += BlueOf(p) * tap.weight;
        out[1] += GreenOf(p) * tap.weight;
        out[2] += RedOf(p) * tap.weight;
        out[3] += AlphaOf(p) * tap.weight;
      }
    }
  }
  LayeredSurface result(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      float sum[4] = {0, 0, 0, 0};
      for (const Tap& tap : rows[static_cast<std::size_t>(y)]) {
        const float* in = &across[(static_cast<std::size_t>(tap.source) * static_cast<std::size_t>(width) + x) * 4];
        for (int c = 0; c < 4; ++c) sum[c] += in[c] * tap.weight;
      }
      auto channel = [&](int c, float ceiling) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(sum[c]), 0L, std::lround(ceiling)));
      };
      const std::uint8_t a = channel(3, 255.0f);
      // Premultiplied: no colour above its alpha, whatever the float sums did.
      result.At(x, y) = PackBgra(channel(0, a), channel(1, a), channel(2, a), a);
    }
  }
  return result;
}

}  // namespace qv::win32
