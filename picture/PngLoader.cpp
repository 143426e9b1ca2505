#include "picture/PngLoader.h"

#include <png.h>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <utility>

#include "platform/Platform.h"

namespace qv::picture {

namespace {

static_assert(std::endian::native == std::endian::little,
              "libpng writes B, G, R, A bytes; the surface reads them as one little-endian 0xAARRGGBB");

// From this PNG alpha up a pixel is fully opaque.
constexpr unsigned kOpaqueFromAlpha = 240;
// From this mask value up the colour bytes stay as they are.
constexpr unsigned kFirstUnscaledMask = 240;

// round(a × 255 / 240) with ties to even, in integers: 255 / 240 is 17 / 16,
// so the quotient's fraction is (17a mod 16) / 16 and a tie is exactly a
// remainder of 8.
constexpr std::uint8_t ComputeMask(unsigned a) {
  if (a >= kOpaqueFromAlpha) return 255;
  const unsigned numerator = a * 17;
  unsigned quotient = numerator / 16;
  const unsigned remainder = numerator % 16;
  if (remainder > 8 || (remainder == 8 && (quotient & 1) != 0)) ++quotient;
  return static_cast<std::uint8_t>(quotient);
}

constexpr std::array<std::uint8_t, 256> MakeMaskTable() {
  std::array<std::uint8_t, 256> table{};
  for (unsigned a = 0; a < 256; ++a) table[a] = ComputeMask(a);
  return table;
}

constexpr std::array<std::uint8_t, 256> kMask = MakeMaskTable();

// The smallest PNG alpha whose colours are left unscaled (226, whose mask is 240).
constexpr unsigned FirstUnscaledAlpha() {
  unsigned a = 0;
  while (kMask[a] < kFirstUnscaledMask) ++a;
  return a;
}
constexpr unsigned kFirstUnscaledAlpha = FirstUnscaledAlpha();
static_assert(kMask[0] == 0 && kMask[1] == 1 && kMask[120] == 128 && kMask[225] == 239 && kMask[226] == 240 &&
              kMask[239] == 254 && kMask[240] == 255 && kMask[255] == 255);

// round(c × m / 255) for c, m ≤ 255 in two 16-bit lanes of one word (bits 0-7
// and 16-23 hold the inputs). c × m / 255 is never exactly half way (255 is
// odd), so round-to-nearest needs no tie rule, and (t + (t >> 8)) >> 8 with
// t = c × m + 128 is exact over the whole range; no lane carries into the next
// because c × m + 128 + 254 < 65536.
inline std::uint32_t ScaleTwoLanes(std::uint32_t lanes, std::uint32_t m) {
  std::uint32_t t = lanes * m + 0x00800080u;
  t += (t >> 8) & 0x00FF00FFu;
  return (t >> 8) & 0x00FF00FFu;
}

// In place over straight BGRA pixels. Most pixels of a picture are fully
// transparent or fully opaque, so those leave early.
void PremultiplyWindowAlphaInPlace(std::uint32_t* pixels, std::size_t count) {
  const std::uint8_t* mask = kMask.data();
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t p = pixels[i];
    const std::uint32_t a = p >> 24;
    if (a >= kFirstUnscaledAlpha) {
      pixels[i] = (p & 0x00FFFFFFu) | (std::uint32_t{mask[a]} << 24);
    } else if (a == 0) {
      pixels[i] = 0;
    } else {
      const std::uint32_t m = mask[a];
      const std::uint32_t redBlue = ScaleTwoLanes(p & 0x00FF00FFu, m);
      const std::uint32_t green = ScaleTwoLanes((p >> 8) & 0xFFu, m);
      pixels[i] = (m << 24) | redBlue | (green << 8);
    }
  }
}

void PremultiplyStandardInPlace(std::uint32_t* pixels, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t p = pixels[i];
    const std::uint32_t a = p >> 24;
    if (a == 255) continue;
    if (a == 0) {
      pixels[i] = 0;
    } else {
      const std::uint32_t redBlue = ScaleTwoLanes(p & 0x00FF00FFu, a);
      const std::uint32_t green = ScaleTwoLanes((p >> 8) & 0xFFu, a);
      pixels[i] = (a << 24) | redBlue | (green << 8);
    }
  }
}

LayeredSurface IntoSurface(StraightPicture&& picture) {
  LayeredSurface surface;
  surface.width = picture.width;
  surface.height = picture.height;
  surface.pixels = std::move(picture.pixels);
  return surface;
}

// Frees libpng's state however we leave, including when allocating the pixels throws.
struct PngImage {
  png_image image{};
  PngImage() { image.version = PNG_IMAGE_VERSION; }
  ~PngImage() { png_image_free(&image); }
  PngImage(const PngImage&) = delete;
  PngImage& operator=(const PngImage&) = delete;
};

constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

}  // namespace

bool HasPngSignature(std::string_view bytes) { return bytes.substr(0, kPngSignature.size()) == kPngSignature; }

StraightPicture DecodePng(std::string_view pngBytes) {
  if (pngBytes.empty()) return {};
  PngImage png;
  // Reads the signature and the header chunks only: the size is known before
  // any pixel memory is taken.
  if (png_image_begin_read_from_memory(&png.image, pngBytes.data(), pngBytes.size()) == 0) return {};
  const png_uint_32 width = png.image.width;
  const png_uint_32 height = png.image.height;
  if (width == 0 || height == 0 || width > kMaxPngSide || height > kMaxPngSide) return {};

  png.image.format = PNG_FORMAT_BGRA;
  // A 16-bit picture without gamma information comes from a paint program
  // and is sRGB like the 8-bit ones; libpng would otherwise take it as linear
  // light and wash out its midtones.
  png.image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;

  // libpng writes straight into the pixels that become the surface: no second buffer, no copy.
  StraightPicture picture;
  try {
    picture.pixels.resize(AllocatablePixels(static_cast<int>(width), static_cast<int>(height)));
  } catch (const std::bad_alloc&) {
    // Up to 64 MB for the largest picture: a 32-bit process may not have it,
    // and a picture that does not fit is a missing picture, not a crash.
    return {};
  }
  if (png_image_finish_read(&png.image, nullptr, picture.pixels.data(), 0, nullptr) == 0) return {};
  picture.width = static_cast<int>(width);
  picture.height = static_cast<int>(height);
  return picture;
}

LayeredSurface PremultiplyWindowAlpha(StraightPicture picture) {
  if (picture.Empty()) return {};
  PremultiplyWindowAlphaInPlace(picture.pixels.data(), picture.pixels.size());
  return IntoSurface(std::move(picture));
}

LayeredSurface PremultiplyStandard(StraightPicture picture) {
  if (picture.Empty()) return {};
  PremultiplyStandardInPlace(picture.pixels.data(), picture.pixels.size());
  return IntoSurface(std::move(picture));
}

LayeredSurface LoadPremultipliedPngBytes(std::string_view pngBytes) {
  return PremultiplyWindowAlpha(DecodePng(pngBytes));
}

LayeredSurface LoadPremultipliedPng(const ISystem& system, const std::string& name, const std::string& type) {
  const std::optional<std::string> bytes = system.LoadResource(type, name);
  if (!bytes) return {};
  return LoadPremultipliedPngBytes(*bytes);
}

LayeredSurface LoadPremultipliedPngFile(const IFileSystem& files, const std::string& path) {
  const std::optional<std::string> bytes = files.ReadFile(path);
  if (!bytes) return {};
  return LoadPremultipliedPngBytes(*bytes);
}

}  // namespace qv::picture
