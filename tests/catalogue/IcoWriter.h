#pragma once

// Builds .ico files for tests: DIB images of any depth with chosen pixels and
// AND mask, PNG images from libpng's writer, and directories that may lie
// about counts, offsets and sizes.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {

inline void PutLittle(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct DibSpec {
  int width = 0;
  int height = 0;
  int bitCount = 32;
  // Straight 0xAARRGGBB per pixel, top row first. For depths up to 8 bits the
  // low byte is the palette index instead.
  std::vector<std::uint32_t> pixels;
  std::vector<bool> mask;              // true = transparent; empty = all opaque
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB; written as B, G, R, 0
  std::uint32_t colorsUsed = 0;        // the header field; 0 = the full table
  int heightField = 0;                 // 0 = twice the height, as icons store it
};

inline std::string DibImage(const DibSpec& s) {
  std::string out;
  PutLittle(out, 40, 4);
  PutLittle(out, static_cast<std::uint32_t>(s.width), 4);
  PutLittle(out, static_cast<std::uint32_t>(s.heightField != 0 ? s.heightField : 2 * s.height), 4);
  PutLittle(out, 1, 2);  // planes
  PutLittle(out, static_cast<std::uint32_t>(s.bitCount), 2);
  PutLittle(out, 0, 4);  // BI_RGB
  PutLittle(out, 0, 4);  // image size, may be 0
  PutLittle(out, 0, 4);
  PutLittle(out, 0, 4);
  PutLittle(out, s.colorsUsed, 4);
  PutLittle(out, 0, 4);
  const std::size_t tableEntries =
      s.bitCount <= 8 ? (s.colorsUsed != 0 ? s.colorsUsed : (std::size_t{1} << s.bitCount)) : s.colorsUsed;
  for (std::size_t i = 0; i < tableEntries; ++i) PutLittle(out, i < s.palette.size() ? s.palette[i] : 0, 4);

  const int colourRow = (s.width * s.bitCount + 31) / 32 * 4;
  const int maskRow = (s.width + 31) / 32 * 4;
  for (int y = s.height - 1; y >= 0; --y) {  // bottom row first
    std::string row(static_cast<std::size_t>(colourRow), '\0');
    for (int x = 0; x < s.width; ++x) {
      const std::uint32_t p = s.pixels[static_cast<std::size_t>(y * s.width + x)];
      switch (s.bitCount) {
        case 32:
          for (int k = 0; k < 4; ++k)
            row[static_cast<std::size_t>(4 * x + k)] = static_cast<char>((p >> (8 * k)) & 0xFF);
          break;
        case 24:
          for (int k = 0; k < 3; ++k)
            row[static_cast<std::size_t>(3 * x + k)] = static_cast<char>((p >> (8 * k)) & 0xFF);
          break;
        case 8:
          row[static_cast<std::size_t>(x)] = static_cast<char>(p & 0xFF);
          break;
        case 4:
          row[static_cast<std::size_t>(x / 2)] |= static_cast<char>((p & 0x0F) << (x % 2 == 0 ? 4 : 0));
          break;
        case 1:
          row[static_cast<std::size_t>(x / 8)] |= static_cast<char>((p & 1) << (7 - x % 8));
          break;
        default:
          break;
      }
    }
    out += row;
  }
  for (int y = s.height - 1; y >= 0; --y) {
    std::string row(static_cast<std::size_t>(maskRow), '\0');
    for (int x = 0; x < s.width; ++x)
      if (!s.mask.empty() && s.mask[static_cast<std::size_t>(y * s.width + x)])
        row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(1 << (7 - x % 8));
    out += row;
  }
  return out;
}

// A PNG from straight 0xAARRGGBB pixels, top row first.
inline std::string PngImage(int width, int height, const std::vector<std::uint32_t>& pixels) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr) == 0) return {};
  std::string bytes(size, '\0');
  if (png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr) == 0) return {};
  bytes.resize(size);
  return bytes;
}

struct IcoEntry {
  std::string data;
  int width = 0;  // for the directory only; 256 is written as 0
  int bitCount = 32;
};

// Images are laid out after the directory in order.
inline std::string IcoFile(const std::vector<IcoEntry>& entries) {
  std::string out;
  PutLittle(out, 0, 2);
  PutLittle(out, 1, 2);
  PutLittle(out, static_cast<std::uint32_t>(entries.size()), 2);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IcoEntry& e : entries) {
    const std::uint32_t side = e.width >= 256 ? 0 : static_cast<std::uint32_t>(e.width);
    out += static_cast<char>(side);
    out += static_cast<char>(side);
    out += '\0';
    out += '\0';
    PutLittle(out, 1, 2);
    PutLittle(out, static_cast<std::uint32_t>(e.bitCount), 2);
    PutLittle(out, static_cast<std::uint32_t>(e.data.size()), 4);
    PutLittle(out, offset, 4);
    offset += static_cast<std::uint32_t>(e.data.size());
  }
  for (const IcoEntry& e : entries) out += e.data;
  return out;
}

// Where the image of directory entry i starts, as the file says.
inline std::size_t IcoFileImageOffset(const std::string& file, std::size_t entry) {
  std::size_t offset = 0;
  for (int k = 3; k >= 0; --k)
    offset = offset << 8 | static_cast<unsigned char>(file[6 + 16 * entry + 12 + static_cast<std::size_t>(k)]);
  return offset;
}

}  // namespace qv::test
