#pragma once

// PNG pictures: one decode to straight BGRA, and the two ways its alpha
// becomes the premultiplied alpha of a surface.
//
// Window pictures (skins, the item plate, animation frames, themes) read
// alpha the way they were designed for: alpha a becomes m = round(a × 255 /
// 240), and 255 from 240 up; colours are scaled by m / 255 only where m < 240
// and left as they are above. So alpha 240 to 255 is fully opaque, and the
// fringe just below it keeps its full colour. Both roundings go to the
// nearest integer, ties to even.
//
// Ordinary pictures (item icons, the clock) keep their alpha and scale each
// colour by it: round(c × a / 255).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Surface.h"

namespace qv {
class ISystem;
class IFileSystem;
}  // namespace qv

namespace qv::picture {

// Pictures wider or taller than this are refused before any pixel memory is taken.
inline constexpr int kMaxPngSide = 4096;

// Decoded pixels before premultiplication: B, G, R, A bytes, one uint32_t
// read as 0xAARRGGBB, row-major, top row first. A type of its own so that
// straight pixels are never shown as a surface by mistake.
struct StraightPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  bool Empty() const { return width <= 0 || height <= 0; }
};

// True when the bytes start with the eight-byte PNG signature.
bool HasPngSignature(std::string_view bytes);

// Decodes a PNG of any colour type and bit depth; pictures without alpha are
// fully opaque. A picture that cannot be decoded, or is too large, gives an
// empty picture.
StraightPicture DecodePng(std::string_view pngBytes);

// The window pictures' rule (above), in place: the pixel memory moves into the surface.
LayeredSurface PremultiplyWindowAlpha(StraightPicture picture);

// The ordinary rule: round(c × a / 255), alpha unchanged.
LayeredSurface PremultiplyStandard(StraightPicture picture);

// A PNG under the window pictures' rule.
LayeredSurface LoadPremultipliedPngBytes(std::string_view pngBytes);

// The program resource of that type and name; empty when absent or undecodable.
LayeredSurface LoadPremultipliedPng(const ISystem& system, const std::string& name, const std::string& type = "PNG");

// A PNG file; empty when it cannot be read or decoded.
LayeredSurface LoadPremultipliedPngFile(const IFileSystem& files, const std::string& path);

}  // namespace qv::picture
