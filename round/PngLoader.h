#pragma once

// PNG pictures to the premultiplied surfaces that layered windows show.
//
// Alpha is read the way the window pictures were designed for: alpha a
// becomes m = round(a × 255 / 240), and 255 from 240 up; colours are scaled
// by m / 255 only where m < 240 and left as they are above. So alpha 240 to
// 255 is fully opaque, and the fringe just below it keeps its full colour.
// Both roundings go to the nearest integer, ties to even.

#include <string>
#include <string_view>

#include "platform/Surface.h"

namespace qv {
class ISystem;
class IFileSystem;
}  // namespace qv

namespace qv::round {

// Pictures wider or taller than this are refused before any pixel memory is taken.
inline constexpr int kMaxPngSide = 4096;

// Decodes a PNG of any colour type and bit depth. Pictures without alpha are
// fully opaque. A picture that cannot be decoded, or is too large, gives an
// empty surface.
LayeredSurface LoadPremultipliedPngBytes(std::string_view pngBytes);

// The program resource of type "PNG" with this name; empty when absent or undecodable.
LayeredSurface LoadPremultipliedPng(const ISystem& system, const std::string& name);

// A PNG file; empty when it cannot be read or decoded.
LayeredSurface LoadPremultipliedPngFile(const IFileSystem& files, const std::string& path);

}  // namespace qv::round
