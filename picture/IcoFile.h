#pragma once

// Reading .ico files for drawing an item. The files come from anywhere (the
// icon cache we write, icons the user picks, whatever a shell hands us), so
// every offset, size and count is bounded by the real length of the input and
// nothing outside it is ever read.

#include <optional>
#include <string_view>

#include "platform/Surface.h"

namespace qv::picture {

// Directory entries past this many are ignored.
inline constexpr int kMaxIcoEntries = 256;
// Images wider or taller than this are refused before any pixel memory is taken.
inline constexpr int kMaxIcoSide = 4096;

struct IcoImage {
  // Premultiplied, ready to draw: with the image's own alpha when it has real
  // alpha, otherwise its colours made opaque or transparent by the AND mask.
  LayeredSurface picture;
  // The image's alpha decides what shows: a 32-bit image with any alpha
  // other than 0, as the system draws it (its mask then counts for nothing),
  // or a PNG-compressed one with an alpha strictly between 0 and 255.
  bool hasRealAlpha = false;
  int width = 0;
  int height = 0;
  int bitCount = 0;  // of the stored image; 32 for PNG-compressed images
};

// The six-byte header of an icon file: reserved 0, type 1, at least one image.
bool LooksLikeIco(std::string_view bytes);

// Chooses the image to draw into a square of wantedSize pixels, the smallest
// that is at least that large or else the largest, the deepest of equal
// sizes, and decodes it. An image that turns out damaged gives way to the
// next best. nullopt when the file holds no usable image.
std::optional<IcoImage> ReadIcoForDrawing(std::string_view bytes, int wantedSize = 48);

}  // namespace qv::picture
