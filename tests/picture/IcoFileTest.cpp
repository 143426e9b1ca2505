#include "picture/IcoFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/IcoWriter.h"
#include "tests/support/AllocationWatch.h"

namespace qv::picture {
namespace {

using test::DibImage;
using test::DibSpec;
using test::IcoEntry;
using test::IcoFile;
using test::PngImage;

// A square image of one straight colour, fully opaque; bit count 0 = PNG.
std::string Flat(int side, int bitCount, std::uint32_t rgb) {
  const std::size_t n = static_cast<std::size_t>(side * side);
  if (bitCount == 0) return PngImage(side, side, std::vector<std::uint32_t>(n, 0xFF000000u | rgb));
  DibSpec s{side, side, bitCount, std::vector<std::uint32_t>(n, bitCount <= 8 ? 1 : 0xFF000000u | rgb)};
  s.palette = {0x000000, rgb};
  return DibImage(s);
}

void PutAt(std::string& bytes, std::size_t at, std::uint32_t v, int size) {
  std::string le;
  test::PutLittle(le, v, size);
  bytes.replace(at, static_cast<std::size_t>(size), le);
}

TEST(IcoFileTest, ChoosesTheImageForTheSquare) {
  using Images = std::vector<std::pair<int, int>>;  // side and bit count, 0 = PNG-compressed
  const struct { const char* what; Images images; int wanted; std::size_t chosen; } cases[] = {
      {"the smallest that is large enough", {{16, 32}, {128, 32}, {64, 32}, {32, 32}}, 48, 2},
      {"exactly the size wins over larger", {{64, 32}, {48, 8}, {256, 0}}, 48, 1},
      {"else the largest", {{16, 32}, {32, 8}, {24, 32}}, 48, 1},
      {"deepest of equal sizes", {{48, 8}, {48, 32}, {48, 4}, {48, 24}}, 48, 1},
      {"first of equal size and depth", {{48, 32}, {48, 32}}, 48, 0},
      {"depth never beats size", {{32, 32}, {64, 1}}, 48, 1},
      {"asked for the large one", {{48, 32}, {256, 0}, {128, 32}}, 256, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<IcoEntry> entries;
    for (std::uint32_t i = 0; i < c.images.size(); ++i) {  // a colour per image tells which was decoded
      const auto [side, bitCount] = c.images[i];
      entries.push_back({Flat(side, bitCount, 0x102030u + 0x101010u * i), side, bitCount == 0 ? 32 : bitCount});
    }
    const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile(entries), c.wanted);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, c.images[c.chosen].first);
    EXPECT_EQ(image->picture.At(0, 0), 0xFF102030u + 0x101010u * c.chosen);
  }
}

TEST(IcoFileTest, ImageHeadersAndDamageDecideWhatIsDrawn) {
  const std::string best = Flat(48, 32, 0x445566), next = Flat(32, 32, 0x112233);
  std::string brokenPng = Flat(64, 0, 0x778899);
  brokenPng[40] = static_cast<char>(brokenPng[40] ^ 0x55);  // inside IDAT: the CRC fails
  const struct { const char* what; std::string file; std::uint32_t shown; } cases[] = {
      {"intact", IcoFile({{best, 48, 32}, {next, 32, 32}}), 0xFF445566u},
      {"the directory lies about sides and depths", IcoFile({{next, 48, 32}, {best, 16, 4}}), 0xFF445566u},
      {"best DIB cut inside its colour bits", IcoFile({{best.substr(0, 40 + 48 * 48 * 2), 48, 32}, {next, 32, 32}}),
       0xFF112233u},
      {"best PNG does not decode", IcoFile({{brokenPng, 64, 32}, {next, 32, 32}}), 0xFF112233u},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<IcoImage> image = ReadIcoForDrawing(c.file);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->picture.At(1, 1), c.shown);
  }
}

TEST(IcoFileTest, DecodesEveryDepthWithItsMask) {
  // Odd widths fill every position of a byte and need row padding; three
  // distinct rows show that rows are stored bottom up.
  const struct { int bitCount, width; std::vector<std::uint32_t> palette; std::uint32_t colorsUsed; } cases[] = {
      {1, 11, {0x0000FF, 0xFFFF00}, 0},
      {4, 7, {0, 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00,
              0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF}, 0},
      {8, 5, {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203}, 6},
      {24, 5, {}, 0},
      {32, 3, {}, 0},  // stored alpha all 0: the mask decides
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bitCount);
    DibSpec s{c.width, 3, c.bitCount, {}, {}, c.palette, c.colorsUsed};
    std::vector<std::uint32_t> expected;
    for (std::uint32_t i = 0; i < static_cast<std::uint32_t>(3 * c.width); ++i) {
      const std::uint32_t y = i / static_cast<std::uint32_t>(c.width);
      const std::uint32_t index = c.palette.empty() ? 0 : (i * 7 + y) % static_cast<std::uint32_t>(c.palette.size());
      const std::uint32_t colour =
          c.bitCount <= 8 ? c.palette[index] : (i * 37 << 16 | y * 90 << 8 | (255 - i)) & 0xFFFFFFu;
      s.pixels.push_back(c.bitCount <= 8 ? index : (c.bitCount == 32 ? 0u : 0xFF000000u) | colour);
      s.mask.push_back(i % 4 == 1);
      expected.push_back(i % 4 == 1 ? 0u : 0xFF000000u | colour);
    }
    const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{DibImage(s), c.width, c.bitCount}}));
    ASSERT_TRUE(image.has_value());
    EXPECT_FALSE(image->hasRealAlpha);
    EXPECT_EQ(image->bitCount, c.bitCount);
    EXPECT_EQ(image->picture.pixels, expected);
  }
  // Palette indexes past a short table are black.
  DibSpec s{4, 1, 8, {0, 1, 2, 255}, {}, {0x112233, 0x445566}, 2};
  const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{DibImage(s), 4, 8}}));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->picture.pixels, (std::vector<std::uint32_t>{0xFF112233u, 0xFF445566u, 0xFF000000u, 0xFF000000u}));
}

TEST(IcoFileTest, ThirtyTwoBitImagesWithAnyAlphaAreDrawnByIt) {
  // Bit count 0 = PNG-compressed (no mask); drawn pixels are premultiplied.
  // clang-format off
  const struct {
    const char* what; int bitCount; std::vector<std::uint32_t> argb; std::vector<bool> masked; bool realAlpha;
    std::vector<std::uint32_t> drawn;
  } cases[] = {
      {"32 bits, all opaque: the alpha decides, the mask does not", 32,
       {0xFF102030, 0xFF405060, 0xFF708090, 0xFFFFFFFF}, {0, 1, 0, 1}, true,
       {0xFF102030, 0xFF405060, 0xFF708090, 0xFFFFFFFF}},
      {"32 bits, only 0 and 255 with an opaque mask: the alpha's shape", 32,
       {0x00102030, 0xFF405060, 0xFF708090, 0x00FFFFFF}, {0, 0, 0, 0}, true, {0, 0xFF405060, 0xFF708090, 0}},
      // One partial alpha: the mask no longer counts; 200 × 128 / 255 = 100.4, 100 → 50.2, 50 → 25.1.
      {"32 bits, one pixel of alpha 128", 32, {0x80C86432, 0xFF405060, 0x00708090, 0xFFFFFFFF},
       {1, 1, 0, 0}, true, {0x80643219, 0xFF405060, 0, 0xFFFFFFFF}},
      {"alpha 1 alone counts", 32, {0x01FFFFFF, 0, 0, 0}, {0, 0, 0, 0}, true, {0x01010101, 0, 0, 0}},
      {"PNG with a soft edge", 0, {0xFFFFFFFF, 0x7F0000FF, 0, 0xFF000000}, {}, true,
       {0xFFFFFFFF, 0x7F00007F, 0, 0xFF000000}},
      {"PNG, opaque and clear only", 0, {0xFFFFFFFF, 0, 0, 0xFF000000}, {}, false, {0xFFFFFFFF, 0, 0, 0xFF000000}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string data = c.bitCount == 0 ? PngImage(2, 2, c.argb) : DibImage({2, 2, c.bitCount, c.argb, c.masked});
    const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{data, 2, c.bitCount == 0 ? 32 : c.bitCount}}));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->hasRealAlpha, c.realAlpha);
    EXPECT_EQ(image->picture.pixels, c.drawn);
  }
}

// Damage gives nothing or a sane picture; sides up to the limit are read, past it refused before
// any pixel memory is asked for; entries past the limit are never read.
TEST(IcoFileTest, DamagedFilesGiveNothingOrASanePicture) {
  const std::string image = Flat(16, 32, 0x123456);
  const std::string good = IcoFile({{image, 16, 32}});
  constexpr std::size_t kImage = 6 + 16, kSize = 6 + 8, kOffset = 6 + 12;  // entry 0's size and offset
  const auto with = [](std::string s, std::size_t at, std::uint32_t v, int size) {
    PutAt(s, at, v, size);
    return s;
  };
  const auto size = static_cast<std::uint32_t>(image.size());
  // The mask of the top row is the last four bytes of a 2 x 2 24-bit image.
  const std::string cutMask = DibImage({2, 2, 24, {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}, {1, 1, 1, 0}});
  const auto line = [](int width, int height) {  // 1 bit per pixel
    DibSpec s{width, height, 1, std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), 1)};
    s.palette = {0x000000, 0xABCDEF};
    return IcoFile({{DibImage(s), 0, 1}});
  };
  const auto onlyEntry = [](std::size_t good) {  // 300 entries that all point at one image; only `good` has a size
    std::vector<IcoEntry> entries(300);
    entries[good].data = Flat(8, 24, 0x010203);
    std::string out = IcoFile(entries);
    for (std::size_t i = 0; i < 300; ++i) PutAt(out, 6 + 16 * i + 12, static_cast<std::uint32_t>(6 + 16 * 300), 4);
    return out;
  };
  const std::string hugePng = IcoFile({{Flat(16, 0, 0x123456), 0, 32}});
  const struct { const char* what; std::string bytes; bool drawn; } cases[] = {
      {"intact", good, true},
      {"nothing", "", false},
      {"directory without images", good.substr(0, kImage), false},
      {"reserved not 0", with(good, 0, 1, 2), false},
      {"a cursor file", with(good, 2, 2, 2), false},
      {"no images", with(good, 4, 0, 2), false},
      {"count larger than the file", with(good, 4, 65535, 2), true},
      {"offset past the end", with(good, kOffset, static_cast<std::uint32_t>(good.size()), 4), false},
      {"size one past the end", with(good, kSize, size + 1, 4), false},
      {"offset + size wraps around", with(good, kSize, 0xFFFFFFF0u, 4), false},
      {"zero size", with(good, kSize, 0, 4), false},
      {"size shorter than a header", with(good, kSize, 39, 4), false},
      {"colour bits cut short", with(good, kSize, 40 + 1023, 4).substr(0, kImage + 40 + 1023), false},
      {"file cut inside the mask", good.substr(0, good.size() - 4), false},
      {"image cut inside its mask", with(good, kSize, size - 4, 4), true},
      {"header size one short", with(good, kImage, 39, 4), false},
      {"header size past the image", with(good, kImage, 0xFFFFFFFFu, 4), false},
      {"width 0", with(good, kImage + 4, 0, 4), false},
      {"negative width", with(good, kImage + 4, 0xFFFFFFF0u, 4), false},
      {"height field not doubled", with(good, kImage + 8, 16, 4), true},
      {"16 bits per pixel", with(good, kImage + 14, 16, 2), false},
      {"bit fields", with(good, kImage + 16, 3, 4), false},
      {"colours used past the image", with(good, kImage + 32, 0xFFFFFFFFu, 4), false},
      {"a PNG without its header chunk", IcoFile({{Flat(16, 0, 1).substr(0, 20), 16, 32}}), false},
      {"missing mask rows stay opaque", IcoFile({{cutMask.substr(0, cutMask.size() - 4), 2, 24}}), true},
      {"widest", line(kMaxIcoSide, 1), true},
      {"tallest", line(1, kMaxIcoSide), true},
      {"too wide", line(kMaxIcoSide + 1, 1), false},
      {"too tall", line(1, kMaxIcoSide + 1), false},
      {"a DIB header promising 4096 x 4096", with(with(good, kImage + 4, 4096, 4), kImage + 8, 8192, 4), false},
      {"a PNG header promising 5000 x 5000", with(with(hugePng, 22 + 16, 0x88130000u, 4), 22 + 20, 0x88130000u, 4),
       false},
      {"the first entry", onlyEntry(0), true},
      {"the last entry read", onlyEntry(kMaxIcoEntries - 1), true},
      {"the first entry past the limit", onlyEntry(kMaxIcoEntries), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::StartAllocationWatch();
    const std::optional<IcoImage> result = ReadIcoForDrawing(c.bytes);
    const std::size_t largest = test::StopAllocationWatch();
    EXPECT_TRUE(c.drawn || largest < std::size_t{1} << 20) << largest;
    ASSERT_EQ(result.has_value(), c.drawn);
    if (result) {
      EXPECT_EQ(result->picture.pixels.size(), static_cast<std::size_t>(result->width * result->height));
    }
  }
  EXPECT_EQ(ReadIcoForDrawing(IcoFile({{cutMask.substr(0, cutMask.size() - 4), 2, 24}}))->picture.pixels,
            (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF00FF00u, 0u, 0xFFFFFFFFu}));
  EXPECT_EQ(ReadIcoForDrawing(line(kMaxIcoSide, 1))->picture.pixels.back(), 0xFFABCDEFu);
}

}  // namespace
}  // namespace qv::picture
