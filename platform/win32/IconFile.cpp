#include "platform/win32/IconFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/win32/Handles.h"

namespace qv::win32 {
namespace {

constexpr std::size_t kDirectoryBytes = 6 + 16;

struct DibBits {
  std::vector<std::uint8_t> bits;
  RGBQUAD colours[2]{};  // the colour table of a 1-bit read
};

std::size_t Stride(int width, int bitCount) {
  return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 31) / 32) * 4;
}

// The rows of a bitmap, bottom row first, in the given depth.
std::optional<DibBits> ReadBits(HDC dc, HBITMAP bitmap, int width, int height, int bitCount) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitCount);
  info.header.biCompression = BI_RGB;
  DibBits result;
  result.bits.resize(Stride(width, bitCount) * static_cast<std::size_t>(height));
  const int lines = ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), result.bits.data(),
                                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  if (lines != height) return std::nullopt;
  result.colours[0] = info.colours[0];
  result.colours[1] = info.colours[1];
  return result;
}

void Put16(std::string& out, unsigned value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutBytes(std::string& out, const void* data, std::size_t size) {
  out.append(static_cast<const char*>(data), size);
}

// Colour bitmaps read from a display without alpha carry 0 everywhere;
// drawn by the system, such an icon is cut out by its mask. Readers that
// go by alpha would see nothing, so the mask's answer is written into it.
void AlphaFromMaskIfNone(std::vector<std::uint8_t>& pixels, const std::vector<std::uint8_t>& mask, int width,
                         int height) {
  for (std::size_t i = 3; i < pixels.size(); i += 4) {
    if (pixels[i] != 0) return;
  }
  const std::size_t maskStride = Stride(width, 1);
  for (int row = 0; row < height; ++row) {
    for (int x = 0; x < width; ++x) {
      const bool transparent = (mask[row * maskStride + x / 8] >> (7 - x % 8)) & 1;
      pixels[(static_cast<std::size_t>(row) * width + x) * 4 + 3] = transparent ? 0 : 255;
    }
  }
}

}  // namespace

std::optional<std::string> IconFileBytes(HICON icon) {
  ICONINFO info{};
  if (!icon || !::GetIconInfo(icon, &info)) return std::nullopt;
  // Both bitmaps are copies made for us.
  UniqueBitmap colour(info.hbmColor);
  UniqueBitmap mask(info.hbmMask);
  BITMAP maskShape{};
  if (!mask || !::GetObjectW(mask.Get(), sizeof(maskShape), &maskShape)) return std::nullopt;
  WindowDc screen;
  if (!screen) return std::nullopt;

  int width = maskShape.bmWidth;
  int height = 0;
  int bitCount = 0;
  std::string image;
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(BITMAPINFOHEADER);
  header.biPlanes = 1;
  header.biCompression = BI_RGB;
  if (!colour) {
    // Monochrome: one bitmap, the AND mask above the XOR picture. Read
    // bottom row first it is already the XOR rows followed by the AND rows.
    height = maskShape.bmHeight / 2;
    bitCount = 1;
    if (width <= 0 || height <= 0) return std::nullopt;
    std::optional<DibBits> both = ReadBits(screen.Get(), mask.Get(), width, height * 2, 1);
    if (!both) return std::nullopt;
    header.biWidth = width;
    header.biHeight = height * 2;
    header.biBitCount = 1;
    header.biSizeImage = static_cast<DWORD>(both->bits.size());
    header.biClrUsed = 2;
    PutBytes(image, &header, sizeof(header));
    PutBytes(image, both->colours, sizeof(both->colours));
    PutBytes(image, both->bits.data(), both->bits.size());
  } else {
    BITMAP colourShape{};
    if (!::GetObjectW(colour.Get(), sizeof(colourShape), &colourShape)) return std::nullopt;
    width = colourShape.bmWidth;
    height = colourShape.bmHeight;
    bitCount = colourShape.bmBitsPixel >= 32 ? 32 : 24;
    if (width <= 0 || height <= 0) return std::nullopt;
    std::optional<DibBits> pixels = ReadBits(screen.Get(), colour.Get(), width, height, bitCount);
    std::optional<DibBits> andMask = ReadBits(screen.Get(), mask.Get(), width, height, 1);
    if (!pixels || !andMask) return std::nullopt;
    if (bitCount == 32) AlphaFromMaskIfNone(pixels->bits, andMask->bits, width, height);
    header.biWidth = width;
    header.biHeight = height * 2;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biSizeImage = static_cast<DWORD>(pixels->bits.size() + andMask->bits.size());
    PutBytes(image, &header, sizeof(header));
    PutBytes(image, pixels->bits.data(), pixels->bits.size());
    PutBytes(image, andMask->bits.data(), andMask->bits.size());
  }

  std::string file;
  file.reserve(kDirectoryBytes + image.size());
  Put16(file, 0);                                               // reserved
  Put16(file, 1);                                               // an icon, not a cursor
  Put16(file, 1);                                               // one image
  file.push_back(static_cast<char>(width >= 256 ? 0 : width));  // 0 stands for 256
  file.push_back(static_cast<char>(height >= 256 ? 0 : height));
  file.push_back(static_cast<char>(bitCount == 1 ? 2 : 0));  // palette entries
  file.push_back(0);
  Put16(file, 1);  // planes
  Put16(file, static_cast<unsigned>(bitCount));
  Put32(file, static_cast<std::uint32_t>(image.size()));
  Put32(file, static_cast<std::uint32_t>(kDirectoryBytes));
  file += image;
  return file;
}

}  // namespace qv::win32
