#pragma once

// Choosing an item's picture among the RT_ICON images of a program file and
// writing it as a one-image .ico file into the icon cache.
//
// The choice looks only at the first few RT_ICON entries of the resource
// list and at the BITMAPINFOHEADER of each, so it costs the same for a
// 50 KB program as for a 50 MB one. Images stored as PNG never match: their
// "width" bytes are part of the PNG signature.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "catalogue/PeReader.h"
#include "platform/Platform.h"

namespace qv::catalogue {

inline constexpr int IconSizeSmall = 48;
inline constexpr int IconSizeLarge = 128;
inline constexpr int IconSizeHuge = 256;

// How many RT_ICON entries, from the start of the list, each search looks at.
inline constexpr std::size_t kLargeIconCandidates = 16;
inline constexpr std::size_t kSmallIconCandidates = 11;
// A 48 x 48 image of 32 bits per pixel with its mask (40 + 9216 + 384) is the
// largest small image taken; the 24-bit one (40 + 6912 + 384) is passed over,
// because it has no alpha and the shell's icon looks better.
inline constexpr std::uint32_t kSmallIconMaxBytes = 9640;
inline constexpr std::uint32_t kSmallIcon24BitBytes = 7336;

inline constexpr std::size_t kIcoHeaderBytes = 22;  // directory header and its one entry

// The most a 256 x 256 image can need: 32-bit colours and the mask after its
// header, or a PNG of the same pixels with room for its chunks. Larger
// "images" are passed over.
inline constexpr std::uint32_t kMaxIconImageBytes = 40 + 256 * 256 * 4 + 256 * 256 / 8 + 64 * 1024;

// The width field of the image's BITMAPINFOHEADER (signed, at byte 4); nullopt
// when the data is not wholly in the file or too short to hold that header.
std::optional<std::int32_t> IconImageWidth(const TPEReader& reader, const TResourceItem& item);

// Index in the reader's list of the image each search picks; nullopt for none.
// Large: among the first 16 RT_ICON items, the first of width 128 or 256; a
// later one of the same width replaces it only when its data is strictly
// larger. Small: among the first 11, the largest of width 48 holding at most
// 9640 bytes and not exactly 7336; of equal sizes the later one.
std::optional<std::size_t> ChooseLargeIcon(const TPEReader& reader);
std::optional<std::size_t> ChooseSmallIcon(const TPEReader& reader);

// A .ico file holding the one image: the 22-byte header (reserved 0, type 1,
// count 1; width and height the pixel width, 0 for 256; colour count 0,
// reserved 0, planes 1, the bit count found at byte 14 of the image, the image
// size, offset 22), then the image bytes unchanged.
std::string WriteSingleIconFile(std::span<const unsigned char> image, int pixelWidth);

// Each writes IconCachePath(programPath) when its search finds an image that
// can be drawn; returns whether it wrote the file. An image that is chosen but
// turns out damaged counts as none found, so the caller falls back further.
bool ExtractLargeIcon(const TPEReader& reader, IFileSystem& files, const std::string& programPath);
bool ExtractSmallIcon(const TPEReader& reader, IFileSystem& files, const std::string& programPath);

}  // namespace qv::catalogue
