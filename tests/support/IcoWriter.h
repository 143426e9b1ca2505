#pragma once

// Builds .ico files for tests: DIB images of any depth with chosen pixels and
// AND mask, PNG images from libpng's writer, and directories of any entries.

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qv::test {

inline void PutLittle(std::string& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Overwrites (or appends) a little-endian value at a byte offset.
inline void PutAt(std::string& out, std::size_t at, std::uint32_t v, int bytes) {
  if (out.size() < at + static_cast<std::size_t>(bytes)) out.resize(at + static_cast<std::size_t>(bytes));
  for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

struct DibSpec {
  int width = 0;
  int height = 0;
  int bitCount = 32;
  // Straight 0xAARRGGBB per pixel, top row first; up to 8 bits, the palette index.
  std::vector<std::uint32_t> pixels;
  std::vector<bool> mask;              // true = transparent; empty = all opaque
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::uint32_t colorsUsed = 0;        // 0 = the full table
};

inline std::string DibImage(const DibSpec& s) {
  std::string out;
  for (const std::uint32_t v : {40u, static_cast<std::uint32_t>(s.width), static_cast<std::uint32_t>(2 * s.height)})
    PutLittle(out, v, 4);
  PutLittle(out, 1, 2);
  PutLittle(out, static_cast<std::uint32_t>(s.bitCount), 2);
  out.append(16, '\0');  // BI_RGB, image size 0, resolutions
  PutLittle(out, s.colorsUsed, 4);
  PutLittle(out, 0, 4);
  const std::size_t tableEntries =
      s.bitCount <= 8 ? (s.colorsUsed != 0 ? s.colorsUsed : (std::size_t{1} << s.bitCount)) : s.colorsUsed;
  for (std::size_t i = 0; i < tableEntries; ++i) PutLittle(out, i < s.palette.size() ? s.palette[i] : 0, 4);

  const auto rows = [&](int bits, const auto& put) {
    for (int y = s.height - 1; y >= 0; --y) {  // bottom row first
      std::string row(static_cast<std::size_t>((s.width * bits + 31) / 32 * 4), '\0');
      for (int x = 0; x < s.width; ++x) put(row, x, static_cast<std::size_t>(y * s.width + x));
      out += row;
    }
  };
  rows(s.bitCount, [&](std::string& row, int x, std::size_t i) {
    const std::uint32_t p = s.pixels[i];
    if (s.bitCount >= 24) {
      for (int k = 0; k < s.bitCount / 8; ++k)
        row[static_cast<std::size_t>(s.bitCount / 8 * x + k)] = static_cast<char>((p >> (8 * k)) & 0xFF);
    } else {
      const int perByte = 8 / s.bitCount, shift = 8 - s.bitCount * (x % perByte + 1);
      row[static_cast<std::size_t>(x / perByte)] |= static_cast<char>((p & ((1u << s.bitCount) - 1)) << shift);
    }
  });
  rows(1, [&](std::string& row, int x, std::size_t i) {
    if (!s.mask.empty() && s.mask[i]) row[static_cast<std::size_t>(x / 8)] |= static_cast<char>(1 << (7 - x % 8));
  });
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
  PutLittle(out, 0x10000, 4);
  PutLittle(out, static_cast<std::uint32_t>(entries.size()), 2);
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
  for (const IcoEntry& e : entries) {
    PutLittle(out, static_cast<std::uint32_t>(e.width >= 256 ? 0 : e.width) * 0x101, 4);
    PutLittle(out, 1, 2);
    PutLittle(out, static_cast<std::uint32_t>(e.bitCount), 2);
    PutLittle(out, static_cast<std::uint32_t>(e.data.size()), 4);
    PutLittle(out, offset, 4);
    offset += static_cast<std::uint32_t>(e.data.size());
  }
  for (const IcoEntry& e : entries) out += e.data;
  return out;
}

}  // namespace qv::test
