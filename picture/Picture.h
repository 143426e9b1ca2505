#pragma once

// Item pictures (.png and .ico files) and the clock pictures: ordinary
// images whose alpha is used as it is, c × a / 255 rounded to nearest, unlike
// the window pictures of PngLoader.h. The kind is told by the bytes, not by
// the file name: a PNG by its signature, an icon by its header.

#include <string>
#include <string_view>

#include "platform/Surface.h"

namespace qv {
class IFileSystem;
}  // namespace qv

namespace qv::picture {

// A PNG, or the image of an icon file that best fits a square of icoSize
// pixels (an item's 48 × 48 at 1x), with its own alpha when it has real
// alpha. Empty for anything else or anything damaged.
LayeredSurface LoadPictureBytes(std::string_view bytes, int icoSize = 48);

// The same from a file; empty when the file cannot be read.
LayeredSurface LoadPictureFile(const IFileSystem& files, const std::string& path);

}  // namespace qv::picture
