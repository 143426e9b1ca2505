#include "picture/IcoFile.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "picture/PngLoader.h"

namespace qv::picture {

namespace {

constexpr std::size_t kDirectoryHeaderSize = 6;
constexpr std::size_t kDirectoryEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER; later versions only add fields

// Every read below is preceded by a bounds check of its caller; these only
// assemble the bytes.
std::uint32_t Byte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint32_t Little16(std::string_view b, std::size_t at) { return Byte(b, at) | Byte(b, at + 1) << 8; }
std::uint32_t Little32(std::string_view b, std::size_t at) { return Little16(b, at) | Little16(b, at + 2) << 16; }
std::uint32_t Big32(std::string_view b, std::size_t at) {
  return Byte(b, at) << 24 | Byte(b, at + 1) << 16 | Byte(b, at + 2) << 8 | Byte(b, at + 3);
}

// One image of the directory whose header we could read. The sizes come from
// the image's own header, not from the directory entry: that is what gets
// decoded, and hand-made files often get the entry's width and depth wrong.
struct Candidate {
  int index = 0;  // in the directory
  std::string_view data;
  bool png = false;
  int width = 0;
  int height = 0;
  int bitCount = 0;

  int Side() const { return std::max(width, height); }
};

bool SideFits(std::uint64_t side) { return side >= 1 && side <= static_cast<std::uint64_t>(kMaxIcoSide); }

std::optional<Candidate> Inspect(std::string_view file, std::size_t entryAt, int index) {
  const std::uint32_t size = Little32(file, entryAt + 8);
  const std::uint32_t offset = Little32(file, entryAt + 12);
  if (size == 0 || offset >= file.size() || size > file.size() - offset) return std::nullopt;
  Candidate c;
  c.index = index;
  c.data = file.substr(offset, size);

  if (HasPngSignature(c.data)) {
    // The header chunk comes first: its length and type, then width and height.
    if (c.data.size() < 24 || c.data.substr(12, 4) != "IHDR") return std::nullopt;
    const std::uint32_t width = Big32(c.data, 16);
    const std::uint32_t height = Big32(c.data, 20);
    if (!SideFits(width) || !SideFits(height)) return std::nullopt;
    c.png = true;
    c.width = static_cast<int>(width);
    c.height = static_cast<int>(height);
    c.bitCount = 32;
    return c;
  }

  if (c.data.size() < kInfoHeaderSize) return std::nullopt;
  const std::uint32_t headerSize = Little32(c.data, 0);
  const auto width = static_cast<std::int32_t>(Little32(c.data, 4));
  // The height covers the colour bits and the mask below them: twice the image.
  const auto heightField = static_cast<std::int32_t>(Little32(c.data, 8));
  const std::uint32_t bitCount = Little16(c.data, 14);
  const std::uint32_t compression = Little32(c.data, 16);
  if (headerSize < kInfoHeaderSize || headerSize > c.data.size()) return std::nullopt;
  if (width < 1 || heightField < 2 || !SideFits(static_cast<std::uint32_t>(width)) ||
      !SideFits(static_cast<std::uint32_t>(heightField / 2)))
    return std::nullopt;
  if (compression != 0) return std::nullopt;  // icons hold plain rows only
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return std::nullopt;
  c.width = width;
  c.height = heightField / 2;
  c.bitCount = static_cast<int>(bitCount);
  return c;
}

// Smallest at least as large as wanted, else largest; then deepest; then first.
bool Better(const Candidate& a, const Candidate& b, int wantedSize) {
  const bool aLarge = a.Side() >= wantedSize;
  const bool bLarge = b.Side() >= wantedSize;
  if (aLarge != bLarge) return aLarge;
  if (a.Side() != b.Side()) return aLarge ? a.Side() < b.Side() : a.Side() > b.Side();
  if (a.bitCount != b.bitCount) return a.bitCount > b.bitCount;
  return a.index < b.index;
}

bool HasAnyAlpha(const std::vector<std::uint32_t>& pixels) {
  return std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) { return (p >> 24) != 0; });
}

bool HasPartialAlpha(const std::vector<std::uint32_t>& pixels) {
  return std::any_of(pixels.begin(), pixels.end(), [](std::uint32_t p) {
    const std::uint32_t a = p >> 24;
    return a != 0 && a != 255;
  });
}

// Width × height is bounded by kMaxIcoSide² before this is called; the
// process may still not have the memory, which makes the image unusable
// rather than the program dead.
bool Allocate(StraightPicture& picture, int width, int height) {
  try {
    picture.pixels.assign(AllocatablePixels(width, height), 0u);
  } catch (const std::bad_alloc&) {
    return false;
  }
  picture.width = width;
  picture.height = height;
  return true;
}

std::optional<IcoImage> DecodePngImage(const Candidate& c) {
  StraightPicture straight = DecodePng(c.data);
  if (straight.Empty()) return std::nullopt;
  IcoImage image;
  image.width = straight.width;
  image.height = straight.height;
  image.bitCount = 32;
  image.hasRealAlpha = HasPartialAlpha(straight.pixels);
  image.picture = PremultiplyStandard(std::move(straight));
  return image;
}

std::optional<IcoImage> DecodeDibImage(const Candidate& c) {
  const std::string_view d = c.data;
  const std::uint64_t width = static_cast<std::uint64_t>(c.width);
  const std::uint64_t height = static_cast<std::uint64_t>(c.height);
  const std::uint32_t colorsUsed = Little32(d, 32);
  // The colour table: as many entries as the header says are used (at most
  // 256), else the full table of the depth; the colour bits follow it.
  const std::uint64_t tableEntries = colorsUsed != 0 ? std::min<std::uint64_t>(colorsUsed, 256)
                                                     : (c.bitCount <= 8 ? std::uint64_t{1} << c.bitCount : 0);
  const std::uint64_t colourRowBytes = (width * static_cast<std::uint64_t>(c.bitCount) + 31) / 32 * 4;
  const std::uint64_t maskRowBytes = (width + 31) / 32 * 4;
  const std::uint64_t tableAt = Little32(d, 0);
  const std::uint64_t bitsAt = tableAt + tableEntries * 4;
  const std::uint64_t maskAt = bitsAt + colourRowBytes * height;
  if (maskAt > d.size()) return std::nullopt;  // colour bits cut short
  // A mask cut short leaves its missing rows (the top of the picture, rows
  // being stored bottom up) opaque: the colours are all there.
  const std::uint64_t maskRows = std::min<std::uint64_t>(height, (d.size() - maskAt) / maskRowBytes);

  std::array<std::uint32_t, 256> palette{};  // entries past the table are black
  for (std::uint64_t i = 0; i < tableEntries; ++i)
    palette[i] = Little32(d, static_cast<std::size_t>(tableAt + i * 4)) & 0x00FFFFFFu;

  StraightPicture straight;
  if (!Allocate(straight, c.width, c.height)) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(d.data());
  for (int y = 0; y < c.height; ++y) {
    const std::uint64_t stored = height - 1 - static_cast<std::uint64_t>(y);
    const unsigned char* row = bytes + bitsAt + stored * colourRowBytes;
    std::uint32_t* out = &straight.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(c.width)];
    for (int x = 0; x < c.width; ++x) {
      switch (c.bitCount) {
        case 32:
          out[x] = std::uint32_t{row[4 * x]} | std::uint32_t{row[4 * x + 1]} << 8 |
                   std::uint32_t{row[4 * x + 2]} << 16 | std::uint32_t{row[4 * x + 3]} << 24;
          break;
        case 24:
          out[x] = std::uint32_t{row[3 * x]} | std::uint32_t{row[3 * x + 1]} << 8 | std::uint32_t{row[3 * x + 2]} << 16;
          break;
        case 8:
          out[x] = palette[row[x]];
          break;
        case 4:
          out[x] = palette[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F];
          break;
        default:
          out[x] = palette[(row[x / 8] >> (7 - x % 8)) & 0x01];
          break;
      }
    }
  }

  IcoImage image;
  image.width = c.width;
  image.height = c.height;
  image.bitCount = c.bitCount;
  // As the system draws icons: a 32-bit image whose alpha is not all 0 is
  // drawn by its alpha, even when that alpha is only 0 and 255 (a hard-edged
  // icon whose writer left the mask all opaque would be a square otherwise).
  image.hasRealAlpha = c.bitCount == 32 && HasAnyAlpha(straight.pixels);
  if (!image.hasRealAlpha) {
    // The plain picture: the mask alone says what shows. Stored alpha (all 0
    // here) says nothing; many writers leave it 0 everywhere.
    for (int y = 0; y < c.height; ++y) {
      const std::uint64_t stored = height - 1 - static_cast<std::uint64_t>(y);
      const unsigned char* mask = stored < maskRows ? bytes + maskAt + stored * maskRowBytes : nullptr;
      std::uint32_t* out = &straight.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(c.width)];
      for (int x = 0; x < c.width; ++x) {
        const bool transparent = mask != nullptr && ((mask[x / 8] >> (7 - x % 8)) & 1) != 0;
        out[x] = transparent ? 0u : (out[x] | 0xFF000000u);
      }
    }
  }
  image.picture = PremultiplyStandard(std::move(straight));
  return image;
}

}  // namespace

bool LooksLikeIco(std::string_view bytes) {
  return bytes.size() >= kDirectoryHeaderSize && Little16(bytes, 0) == 0 && Little16(bytes, 2) == 1 &&
         Little16(bytes, 4) >= 1;
}

std::optional<IcoImage> ReadIcoForDrawing(std::string_view bytes, int wantedSize) {
  if (!LooksLikeIco(bytes)) return std::nullopt;
  // A count larger than the file can hold is believed only as far as the file goes.
  const std::size_t entries =
      std::min({static_cast<std::size_t>(Little16(bytes, 4)), static_cast<std::size_t>(kMaxIcoEntries),
                (bytes.size() - kDirectoryHeaderSize) / kDirectoryEntrySize});
  std::vector<Candidate> candidates;
  for (std::size_t i = 0; i < entries; ++i) {
    if (std::optional<Candidate> c =
            Inspect(bytes, kDirectoryHeaderSize + i * kDirectoryEntrySize, static_cast<int>(i)))
      candidates.push_back(*c);
  }
  std::sort(candidates.begin(), candidates.end(),
            [wantedSize](const Candidate& a, const Candidate& b) { return Better(a, b, wantedSize); });
  for (const Candidate& c : candidates) {
    std::optional<IcoImage> image = c.png ? DecodePngImage(c) : DecodeDibImage(c);
    if (image) return image;
  }
  return std::nullopt;
}

}  // namespace qv::picture
