#include "picture/PngLoader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/AllocationWatch.h"
#include "tests/support/IcoWriter.h"

namespace qv::picture {
namespace {

using Pixels = std::vector<std::uint32_t>;

void AppendBigEndian(std::string& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void AppendChunk(std::string& png, const std::string& type, const std::string& data) {
  AppendBigEndian(png, static_cast<std::uint32_t>(data.size()));
  const std::string body = type + data;
  png += body;
  AppendBigEndian(png, static_cast<std::uint32_t>(
                           crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size()))));
}

// A PNG put together chunk by chunk, for depths and headers the simplified
// writer does not produce; rows are packed scanlines without their filter byte.
std::string HandMadePng(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType,
                        const std::vector<std::string>& rows) {
  std::string png = "\x89PNG\r\n\x1a\n", header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header += {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, 0};
  AppendChunk(png, "IHDR", header);
  std::string raw;
  for (const std::string& row : rows) raw += '\0' + row;
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string data(size, '\0');
  compress(reinterpret_cast<Bytef*>(data.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
           static_cast<uLong>(raw.size()));
  data.resize(size);
  AppendChunk(png, "IDAT", data);
  AppendChunk(png, "IEND", "");
  return png;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

std::uint32_t Bgra(int b, int g, int r, int a) {
  return PackBgra(static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(r),
                  static_cast<std::uint8_t>(a));
}

// The two rules in floating point, sharing nothing with the loader's integer arithmetic.
// Window rule: mask m = round(a × 255 / 240), ties to even, 255 from 240 up; colours
// round(c × m / 255) below m = 240, unchanged from there. Ordinary rule: round(c × a / 255).
std::uint32_t WindowRule(std::uint32_t straight) {
  const int a = AlphaOf(straight);
  const int m = a >= 240 ? 255 : static_cast<int>(std::nearbyint(a * 255.0 / 240.0));
  auto scale = [m](int c) { return m >= 240 ? c : static_cast<int>(std::nearbyint(c * m / 255.0)); };
  return Bgra(scale(BlueOf(straight)), scale(GreenOf(straight)), scale(RedOf(straight)), m);
}

std::uint32_t OrdinaryRule(std::uint32_t straight) {
  const int a = AlphaOf(straight);
  auto scale = [a](int c) { return static_cast<int>(std::nearbyint(c * a / 255.0)); };
  return Bgra(scale(BlueOf(straight)), scale(GreenOf(straight)), scale(RedOf(straight)), a);
}

TEST(PngLoaderTest, BothAlphaRulesForEveryAlphaAndColour) {
  Pixels pixels;  // every alpha against every colour value, one row per alpha
  for (std::uint32_t a = 0; a < 256; ++a)
    for (std::uint32_t c = 0; c < 256; ++c) pixels.push_back(a << 24 | c << 16 | (255 - c) << 8 | ((c * 7) & 0xFF));
  const std::string png = test::PngImage(256, 256, pixels);
  const LayeredSurface window = PremultiplyWindowAlpha(DecodePng(png)), ordinary = PremultiplyStandard(DecodePng(png));
  ASSERT_EQ(window.pixels.size(), pixels.size());
  ASSERT_EQ(ordinary.pixels.size(), pixels.size());
  int mismatches = 0;
  for (std::size_t i = 0; i < pixels.size() && mismatches < 10; ++i) {
    if (window.pixels[i] != WindowRule(pixels[i]) || ordinary.pixels[i] != OrdinaryRule(pixels[i]))
      ADD_FAILURE() << ++mismatches << ": straight " << std::hex << pixels[i] << " gave " << window.pixels[i] << " and "
                    << ordinary.pixels[i];
  }
}

// Without gamma a 16-bit picture is sRGB like the 8-bit ones: 128 × 257 stays 128, not brightened.
TEST(PngLoaderTest, SixteenBitPicturesAreSrgb) {  // v × 257 is the bytes v, v
  const std::string png = HandMadePng(3, 1, 16, 6, {Bytes({200, 200, 0, 0, 0, 0, 120, 120, 128, 128, 64, 64, 254, 254,
                                                          255, 255, 255, 255, 255, 255, 255, 255, 0, 0})});
  EXPECT_EQ(LoadPremultipliedPngBytes(png).pixels, (Pixels{Bgra(0, 0, 100, 128), Bgra(254, 64, 128, 255), 0}));
}

// Damage gives an empty surface; sides up to the limit are read, past it refused before any
// pixel memory is asked for.
TEST(PngLoaderTest, DamagedOrHugePicturesGiveAnEmptySurface) {
  const std::string good = test::PngImage(4, 4, Pixels(16, 0xC8010203));
  std::string badHeader = good;
  badHeader[29] ^= 0x40;
  const struct { const char* what; std::string bytes; bool read; } cases[] = {
      {"intact", good, true},
      {"nothing", "", false},
      {"cut inside the data", good.substr(0, good.find("IDAT") + 14), false},
      {"header CRC", badHeader, false},
      {"too few rows", HandMadePng(2, 16, 8, 0, {Bytes({1, 2}), Bytes({3, 4})}), false},
      {"widest", test::PngImage(kMaxPngSide, 1, Pixels(kMaxPngSide, 0xFF090807)), true},
      {"tallest", test::PngImage(1, kMaxPngSide, Pixels(kMaxPngSide, 0xFF090807)), true},
      {"too wide", test::PngImage(kMaxPngSide + 1, 1, Pixels(kMaxPngSide + 1, 0xFF090807)), false},
      {"too tall", test::PngImage(1, kMaxPngSide + 1, Pixels(kMaxPngSide + 1, 0xFF090807)), false},
      {"a huge header over a few bytes", HandMadePng(100000, 100000, 8, 6, {Bytes({1, 2, 3, 4})}), false},
  };
  for (const auto& c : cases) {
    test::StartAllocationWatch();
    const LayeredSurface surface = LoadPremultipliedPngBytes(c.bytes);
    const std::size_t largest = test::StopAllocationWatch();
    EXPECT_EQ(!surface.Empty() && !surface.pixels.empty(), c.read) << c.what;
    EXPECT_TRUE(c.read || largest < std::size_t{1} << 20) << c.what << " asked for " << largest << " bytes";
  }
}

}  // namespace
}  // namespace qv::picture
