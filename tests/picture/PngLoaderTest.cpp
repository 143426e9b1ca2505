#include "picture/PngLoader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/IcoWriter.h"
#include "tests/support/AllocationWatch.h"

namespace qv::picture {
namespace {

using Pixels = std::vector<std::uint32_t>;

// libpng's own straight (not premultiplied) decode, as 0xAARRGGBB words.
Pixels StraightDecode(const std::string& bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0) return {};
  image.format = PNG_FORMAT_BGRA;
  Pixels pixels(static_cast<std::size_t>(image.width) * image.height);
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) return {};
  return pixels;
}

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
                        const std::vector<std::string>& rows,
                        const std::vector<std::pair<std::string, std::string>>& beforeData = {}) {
  std::string png = "\x89PNG\r\n\x1a\n";
  std::string header;
  AppendBigEndian(header, width);
  AppendBigEndian(header, height);
  header += {static_cast<char>(bitDepth), static_cast<char>(colourType), 0, 0, 0};
  AppendChunk(png, "IHDR", header);
  for (const auto& [type, data] : beforeData) AppendChunk(png, type, data);
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

// Mask m = round(a × 255 / 240), ties to even, 255 from 240 up; colours
// round(c × m / 255) below m = 240, unchanged from there. In floating point,
// sharing nothing with the loader's integer arithmetic.
std::uint32_t Premultiplied(std::uint32_t straight) {
  const int a = AlphaOf(straight);
  const int m = a >= 240 ? 255 : static_cast<int>(std::nearbyint(a * 255.0 / 240.0));
  auto scale = [m](int c) { return m >= 240 ? c : static_cast<int>(std::nearbyint(c * m / 255.0)); };
  return Bgra(scale(BlueOf(straight)), scale(GreenOf(straight)), scale(RedOf(straight)), m);
}

TEST(PngLoaderTest, PremultiplyRuleForEveryAlphaAndColour) {
  const struct {
    std::uint32_t straight, premultiplied;
  } edges[] = {
      {0x00C8FF01, 0x00000000},
      {0x018040FE, 0x01010001},
      {0x08C8FF01, 0x08060800},  // 8.5 ties down to the even 8
      {0x188040FE, 0x1A0D071A},  // 25.5 ties up to 26; 254 × 26 / 255 = 25.9 rounds
      {0xE18040FE, 0xEF783CEE},  // 225: last mask that scales
      {0xE2C8FF01, 0xF0C8FF01},  // 226: first mask that keeps the colours
      {0xEF8040FE, 0xFE8040FE},  // 239
      {0xF0C8FF01, 0xFFC8FF01},  // 240
      {0xFE8040FE, 0xFF8040FE},  // 254
      {0xFFC8FF01, 0xFFC8FF01},
  };
  for (const auto& e : edges) EXPECT_EQ(Premultiplied(e.straight), e.premultiplied) << std::hex << e.straight;

  // Every alpha against every colour value, one row per alpha.
  Pixels pixels;
  for (std::uint32_t a = 0; a < 256; ++a)
    for (std::uint32_t c = 0; c < 256; ++c) pixels.push_back(a << 24 | c << 16 | (255 - c) << 8 | ((c * 7) & 0xFF));
  const std::string png = test::PngImage(256, 256, pixels);
  ASSERT_EQ(StraightDecode(png), pixels) << "libpng's straight decode gives back what we meant";
  const LayeredSurface surface = LoadPremultipliedPngBytes(png);
  ASSERT_EQ(surface.pixels.size(), pixels.size());
  int mismatches = 0;
  for (std::size_t i = 0; i < pixels.size() && mismatches < 10; ++i)
    if (surface.pixels[i] != Premultiplied(pixels[i]))
      ADD_FAILURE() << ++mismatches << ": straight " << std::hex << pixels[i] << " gave " << surface.pixels[i]
                    << ", want " << Premultiplied(pixels[i]);
}

TEST(PngLoaderTest, GreyPaletteAndSixteenBitPicturesDecode) {
  const struct {
    const char* what;
    std::string png;
    Pixels expected;  // B, G, R, A premultiplied
  } cases[] = {
      {"4-bit palette with transparency",
       HandMadePng(5, 1, 4, 3, {Bytes({0x01, 0x23, 0x40})},
                   {{"PLTE", Bytes({200, 0, 0, 10, 20, 30, 0, 0, 0, 255, 255, 255, 40, 50, 60})},
                    {"tRNS", Bytes({120, 255, 0, 245})}}),
       // entry 4 lies past the tRNS table and is opaque
       {Bgra(0, 0, 100, 128), Bgra(30, 20, 10, 255), Bgra(0, 0, 0, 0), Bgra(255, 255, 255, 255),
        Bgra(60, 50, 40, 255)}},
      // Without gamma a 16-bit picture is sRGB: 128 × 257 stays 128, not brightened.
      {"16-bit RGBA without gamma",
       HandMadePng(3, 1, 16, 6,  // v × 257 is the bytes v, v
                   {Bytes({200, 200, 0, 0, 0, 0, 120, 120, 128, 128, 64, 64, 254, 254, 255, 255, 255, 255, 255, 255,
                           255, 255, 0, 0})}),
       {Bgra(0, 0, 100, 128), Bgra(254, 64, 128, 255), Bgra(0, 0, 0, 0)}},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadPremultipliedPngBytes(c.png).pixels, c.expected) << c.what;
}

TEST(PngLoaderTest, DamagedPicturesGiveAnEmptySurface) {
  const std::string good = test::PngImage(4, 4, Pixels(16, 0xC8010203));
  ASSERT_FALSE(LoadPremultipliedPngBytes(good).Empty());
  const std::size_t idat = good.find("IDAT") + 4;

  auto flipped = [&](std::size_t at) {
    std::string bad = good;
    bad[at] = static_cast<char>(bad[at] ^ 0x40);
    return bad;
  };
  std::string notDeflate = good.substr(0, 33);
  AppendChunk(notDeflate, "IDAT", "this is not compressed");
  AppendChunk(notDeflate, "IEND", "");

  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"nothing", ""},
      {"signature only", good.substr(0, 8)},
      {"cut inside the header", good.substr(0, 20)},
      {"cut inside the data", good.substr(0, idat + 10)},
      {"wrong signature", flipped(1)},
      {"header CRC", flipped(29)},
      {"data CRC", flipped(idat + 5)},
      {"data not deflate", notDeflate},
      {"too few rows", HandMadePng(2, 16, 8, 0, {Bytes({1, 2}), Bytes({3, 4})})},
  };
  for (const auto& c : cases) {
    const LayeredSurface surface = LoadPremultipliedPngBytes(c.bytes);
    EXPECT_TRUE(surface.Empty() && surface.pixels.empty()) << c.what;
  }
}

TEST(PngLoaderTest, HugeHeaderIsRefusedBeforeAllocating) {
  const std::string huge = HandMadePng(100000, 100000, 8, 6, {Bytes({1, 2, 3, 4})});
  png_image image{};  // the doctored header is well-formed
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_memory(&image, huge.data(), huge.size()), 0) << image.message;
  png_image_free(&image);

  test::StartAllocationWatch();
  const LayeredSurface surface = LoadPremultipliedPngBytes(huge);
  const std::size_t largest = test::StopAllocationWatch();
  EXPECT_TRUE(surface.Empty());
  EXPECT_LT(largest, std::size_t{1} << 20) << "asked for " << largest << " bytes";
}

TEST(PngLoaderTest, SideLimitIsInclusive) {
  const struct {
    int width, height;
    bool accepted;
  } cases[] = {
      {kMaxPngSide, 1, true}, {1, kMaxPngSide, true}, {kMaxPngSide + 1, 1, false}, {1, kMaxPngSide + 1, false}};
  for (const auto& c : cases) {
    const Pixels pixels(static_cast<std::size_t>(c.width) * c.height, 0xFF090807);
    EXPECT_EQ(!LoadPremultipliedPngBytes(test::PngImage(c.width, c.height, pixels)).Empty(), c.accepted) << c.width;
  }
}

}  // namespace
}  // namespace qv::picture
