#include "catalogue/IcoFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/catalogue/IcoWriter.h"
#include "tests/round/AllocationWatch.h"

namespace qv::catalogue {
namespace {

using test::DibImage;
using test::DibSpec;
using test::IcoEntry;
using test::IcoFile;
using test::PngImage;
using test::PutLittle;

std::string Describe(std::uint32_t p) {
  std::ostringstream out;
  out << "B" << int{BlueOf(p)} << " G" << int{GreenOf(p)} << " R" << int{RedOf(p)} << " A" << int{AlphaOf(p)};
  return out.str();
}

// A square image of one straight colour, fully opaque by its mask.
std::string FlatDib(int side, int bitCount, std::uint32_t rgb) {
  DibSpec s;
  s.width = side;
  s.height = side;
  s.bitCount = bitCount;
  if (bitCount <= 8) {
    s.palette = {0x000000, rgb};
    s.pixels.assign(static_cast<std::size_t>(side * side), 1);
  } else {
    s.pixels.assign(static_cast<std::size_t>(side * side), 0xFF000000u | rgb);
  }
  return DibImage(s);
}

std::string FlatPng(int side, std::uint32_t rgb) {
  return PngImage(side, side, std::vector<std::uint32_t>(static_cast<std::size_t>(side * side), 0xFF000000u | rgb));
}

// ---- which image is drawn ------------------------------------------------------

TEST(IcoFileTest, ChoosesTheImageForTheSquare) {
  struct Image {
    int side;
    int bitCount;  // 0 = PNG-compressed
  };
  struct Case {
    const char* what;
    std::vector<Image> images;
    int wanted;
    std::size_t chosen;  // index into images
  };
  const Case cases[] = {
      {"a program's usual set", {{16, 32}, {32, 32}, {48, 24}, {48, 32}}, 48, 3},
      {"the smallest that is large enough", {{16, 32}, {128, 32}, {64, 32}, {32, 32}}, 48, 2},
      {"exactly the size wins over larger", {{64, 32}, {48, 8}, {256, 0}}, 48, 1},
      {"else the largest", {{16, 32}, {32, 8}, {24, 32}}, 48, 1},
      {"deepest of equal sizes", {{48, 8}, {48, 32}, {48, 4}, {48, 24}}, 48, 1},
      {"first of equal size and depth", {{48, 32}, {48, 32}}, 48, 0},
      {"depth never beats size", {{32, 32}, {64, 1}}, 48, 1},
      {"a Vista icon alone", {{256, 0}}, 48, 0},
      {"a Vista icon beside a large DIB", {{256, 0}, {128, 32}}, 48, 1},
      {"asked for the large one", {{48, 32}, {256, 0}, {128, 32}}, 256, 1},
      {"asked for 16", {{48, 32}, {16, 4}, {32, 32}}, 16, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<IcoEntry> entries;
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < c.images.size(); ++i) {
      // Each image gets a colour of its own, so the pixels tell which one was decoded.
      const std::uint32_t rgb = 0x102030u + 0x101010u * static_cast<std::uint32_t>(i);
      colours.push_back(0xFF000000u | rgb);
      const Image& im = c.images[i];
      entries.push_back({im.bitCount == 0 ? FlatPng(im.side, rgb) : FlatDib(im.side, im.bitCount, rgb), im.side,
                         im.bitCount == 0 ? 32 : im.bitCount});
    }
    const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile(entries), c.wanted);
    ASSERT_TRUE(image.has_value());
    const Image& want = c.images[c.chosen];
    EXPECT_EQ(image->width, want.side);
    EXPECT_EQ(image->height, want.side);
    EXPECT_EQ(image->bitCount, want.bitCount == 0 ? 32 : want.bitCount);
    ASSERT_EQ(image->picture.width, want.side);
    ASSERT_EQ(image->picture.height, want.side);
    EXPECT_EQ(image->picture.At(want.side / 2, want.side - 1), colours[c.chosen])
        << Describe(image->picture.At(want.side / 2, want.side - 1));
  }
}

TEST(IcoFileTest, ImageHeadersNotTheDirectoryDecideTheChoice) {
  // The directory says 16 × 16 and 4 bits for the 48-pixel 32-bit image, and
  // 48 × 48 for the 16-pixel one; what is drawn is what the images hold.
  std::string file = IcoFile({{FlatDib(16, 32, 0x112233), 48, 32}, {FlatDib(48, 32, 0x445566), 16, 4}});
  const std::optional<IcoImage> image = ReadIcoForDrawing(file);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 48);
  EXPECT_EQ(image->bitCount, 32);
  EXPECT_EQ(image->picture.At(0, 0), 0xFF445566u);
}

TEST(IcoFileTest, DamagedBestImageGivesWayToTheNextBest) {
  const std::string best = FlatDib(48, 32, 0x445566);
  const std::string next = FlatDib(32, 32, 0x112233);
  const std::string png = FlatPng(64, 0x778899);
  std::string brokenPng = png;
  brokenPng[40] = static_cast<char>(brokenPng[40] ^ 0x55);  // inside IDAT: the CRC fails
  const struct {
    const char* what;
    std::string file;
    std::uint32_t shown;
  } cases[] = {
      {"DIB cut inside its colour bits", IcoFile({{best.substr(0, 40 + 48 * 48 * 2), 48, 32}, {next, 32, 32}}),
       0xFF112233u},
      {"PNG that does not decode", IcoFile({{brokenPng, 64, 32}, {next, 32, 32}}), 0xFF112233u},
      {"intact", IcoFile({{best, 48, 32}, {next, 32, 32}}), 0xFF445566u},
  };
  for (const auto& c : cases) {
    const std::optional<IcoImage> image = ReadIcoForDrawing(c.file);
    ASSERT_TRUE(image.has_value()) << c.what;
    EXPECT_EQ(image->picture.At(1, 1), c.shown) << c.what << ": " << Describe(image->picture.At(1, 1));
  }
}

// ---- decoding each depth -----------------------------------------------------

TEST(IcoFileTest, DecodesEveryDepthWithItsMask) {
  // Odd widths put pixels in every position of a byte and need row padding;
  // three distinct rows show that rows are stored bottom up.
  struct Case {
    int bitCount;
    int width;
    std::vector<std::uint32_t> palette;
    std::uint32_t colorsUsed;
  };
  const Case cases[] = {
      {1, 11, {0x0000FF, 0xFFFF00}, 0},
      {4, 7, {0x000000, 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0xFF0000,
              0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF},
       0},
      {8, 5, {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203}, 6},
      {24, 5, {}, 0},
      {32, 3, {}, 0},
  };
  constexpr int kHeight = 3;
  for (const Case& c : cases) {
    SCOPED_TRACE("bit count " + std::to_string(c.bitCount));
    DibSpec s;
    s.width = c.width;
    s.height = kHeight;
    s.bitCount = c.bitCount;
    s.palette = c.palette;
    s.colorsUsed = c.colorsUsed;
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < c.width; ++x) {
        const int i = y * c.width + x;
        const bool masked = (i % 4 == 1);
        s.mask.push_back(masked);
        std::uint32_t colour = 0;
        if (c.bitCount <= 8) {
          const std::uint32_t index = static_cast<std::uint32_t>(i * 7 + y) % static_cast<std::uint32_t>(c.palette.size());
          s.pixels.push_back(index);
          colour = c.palette[index];
        } else {
          colour = (static_cast<std::uint32_t>(i * 37) << 16 | static_cast<std::uint32_t>(y * 90) << 8 |
                    static_cast<std::uint32_t>(255 - i)) &
                   0xFFFFFFu;
          // Stored alpha all 255 for 32 bits: no real alpha, so the mask decides.
          s.pixels.push_back(0xFF000000u | colour);
        }
        expected.push_back(masked ? 0u : 0xFF000000u | colour);
      }
    }
    const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{DibImage(s), c.width, c.bitCount}}));
    ASSERT_TRUE(image.has_value());
    EXPECT_FALSE(image->hasRealAlpha);
    EXPECT_EQ(image->bitCount, c.bitCount);
    ASSERT_EQ(image->picture.width, c.width);
    ASSERT_EQ(image->picture.height, kHeight);
    for (std::size_t i = 0; i < expected.size(); ++i)
      EXPECT_EQ(image->picture.pixels[i], expected[i])
          << "pixel " << i << ": got " << Describe(image->picture.pixels[i]) << ", want " << Describe(expected[i]);
  }
}

TEST(IcoFileTest, PaletteIndexesPastTheTableAreBlack) {
  DibSpec s;
  s.width = 4;
  s.height = 1;
  s.bitCount = 8;
  s.colorsUsed = 2;
  s.palette = {0x112233, 0x445566};
  s.pixels = {0, 1, 2, 255};
  const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{DibImage(s), 4, 8}}));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->picture.pixels, (std::vector<std::uint32_t>{0xFF112233u, 0xFF445566u, 0xFF000000u, 0xFF000000u}));
}

// ---- the alpha test ------------------------------------------------------------

TEST(IcoFileTest, RealAlphaOnlyWithAPartialAlpha) {
  // Four pixels: straight colour with alpha, and the AND mask bit.
  struct Pixel {
    std::uint32_t argb;
    bool masked;
  };
  struct Case {
    const char* what;
    int bitCount;  // 0 = PNG-compressed (no mask)
    std::vector<Pixel> pixels;
    bool realAlpha;
    std::vector<std::uint32_t> drawn;  // premultiplied
  };
  const Case cases[] = {
      {"32 bits, all opaque: the mask decides",
       32,
       {{0xFF102030, false}, {0xFF405060, true}, {0xFF708090, false}, {0xFFFFFFFF, true}},
       false,
       {0xFF102030, 0, 0xFF708090, 0}},
      {"32 bits, all alpha 0: opaque where the mask is 0",
       32,
       {{0x00102030, false}, {0x00405060, true}, {0x00708090, false}, {0x00000000, false}},
       false,
       {0xFF102030, 0, 0xFF708090, 0xFF000000}},
      {"32 bits, only 0 and 255: still the mask",
       32,
       {{0x00102030, false}, {0xFF405060, true}, {0xFF708090, false}, {0x00FFFFFF, true}},
       false,
       {0xFF102030, 0, 0xFF708090, 0}},
      {"24 bits: never real alpha",
       24,
       {{0x80102030, false}, {0x80405060, true}, {0x80708090, false}, {0x80FFFFFF, false}},
       false,
       {0xFF102030, 0, 0xFF708090, 0xFFFFFFFF}},
      // One semi-transparent pixel turns the whole image to its own alpha:
      // the mask no longer counts, alpha 0 is transparent and 255 opaque.
      {"32 bits, one pixel of alpha 128",
       32,
       {{0x80C86432, true}, {0xFF405060, true}, {0x00708090, false}, {0xFFFFFFFF, false}},
       true,
       // 200 × 128 / 255 = 100.4, 100 × 128 / 255 = 50.2, 50 × 128 / 255 = 25.1
       {0x80643219, 0xFF405060, 0, 0xFFFFFFFF}},
      {"alpha 1 counts", 32, {{0x01FFFFFF, false}, {0xFF000000, false}, {0, false}, {0, false}}, true,
       {0x01010101, 0xFF000000, 0, 0}},
      {"alpha 254 counts", 32, {{0xFEFFFFFF, false}, {0xFEFF0000, false}, {0xFF00FF00, true}, {0, true}}, true,
       {0xFEFEFEFE, 0xFEFE0000, 0xFF00FF00, 0}},
      {"PNG with a soft edge", 0, {{0xFFFFFFFF, false}, {0x7F0000FF, false}, {0, false}, {0xFF000000, false}}, true,
       {0xFFFFFFFF, 0x7F00007F, 0, 0xFF000000}},
      {"PNG, opaque and clear only", 0, {{0xFFFFFFFF, false}, {0, false}, {0, false}, {0xFF000000, false}}, false,
       {0xFFFFFFFF, 0, 0, 0xFF000000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::uint32_t> pixels;
    DibSpec s;
    s.width = 2;
    s.height = 2;
    s.bitCount = c.bitCount;
    for (const Pixel& p : c.pixels) {
      pixels.push_back(p.argb);
      s.pixels.push_back(p.argb);
      s.mask.push_back(p.masked);
    }
    const std::string data = c.bitCount == 0 ? PngImage(2, 2, pixels) : DibImage(s);
    const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{data, 2, c.bitCount == 0 ? 32 : c.bitCount}}));
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->hasRealAlpha, c.realAlpha);
    ASSERT_EQ(image->picture.pixels.size(), c.drawn.size());
    for (std::size_t i = 0; i < c.drawn.size(); ++i)
      EXPECT_EQ(image->picture.pixels[i], c.drawn[i])
          << "pixel " << i << ": got " << Describe(image->picture.pixels[i]) << ", want " << Describe(c.drawn[i]);
  }
}

// ---- damaged files -------------------------------------------------------------

void PutAt(std::string& bytes, std::size_t at, std::uint32_t v, int size) {
  std::string le;
  PutLittle(le, v, size);
  bytes.replace(at, static_cast<std::size_t>(size), le);
}

// The directory entry i starts at 6 + 16 i; its size at +8, its offset at +12.
constexpr std::size_t EntrySize(std::size_t i) { return 6 + 16 * i + 8; }
constexpr std::size_t EntryOffset(std::size_t i) { return 6 + 16 * i + 12; }

TEST(IcoFileTest, DamagedFilesGiveNothingOrASanePicture) {
  const std::string image = FlatDib(16, 32, 0x123456);
  const std::string good = IcoFile({{image, 16, 32}});
  ASSERT_TRUE(ReadIcoForDrawing(good).has_value());
  const std::size_t imageAt = 6 + 16;

  auto with = [&](std::size_t at, std::uint32_t v, int size) {
    std::string s = good;
    PutAt(s, at, v, size);
    return s;
  };
  auto withHeader = [&](std::size_t field, std::uint32_t v, int size) { return with(imageAt + field, v, size); };

  const struct {
    const char* what;
    std::string bytes;
    bool drawn;
  } cases[] = {
      {"nothing", "", false},
      {"five bytes", good.substr(0, 5), false},
      {"header only", good.substr(0, 6), false},
      {"half an entry", good.substr(0, 14), false},
      {"directory without images", good.substr(0, imageAt), false},
      {"reserved not 0", with(0, 1, 2), false},
      {"a cursor file", with(2, 2, 2), false},
      {"no images", with(4, 0, 2), false},
      {"count larger than the file", with(4, 65535, 2), true},
      {"offset past the end", with(EntryOffset(0), static_cast<std::uint32_t>(good.size()), 4), false},
      {"offset far past the end", with(EntryOffset(0), 0xFFFFFFF0u, 4), false},
      {"size one past the end", with(EntrySize(0), static_cast<std::uint32_t>(image.size() + 1), 4), false},
      {"offset + size wraps around", with(EntrySize(0), 0xFFFFFFF0u, 4), false},
      {"zero size", with(EntrySize(0), 0, 4), false},
      {"size shorter than a header", with(EntrySize(0), 39, 4), false},
      {"colour bits cut short", with(EntrySize(0), 40 + 16 * 16 * 4 - 1, 4).substr(0, imageAt + 40 + 16 * 16 * 4 - 1),
       false},
      {"file cut inside the mask", good.substr(0, good.size() - 4), false},
      {"image cut inside its mask", with(EntrySize(0), static_cast<std::uint32_t>(image.size() - 4), 4), true},
      {"header size 0", withHeader(0, 0, 4), false},
      {"header size past the image", withHeader(0, 0xFFFFFFFFu, 4), false},
      {"width 0", withHeader(4, 0, 4), false},
      {"negative width", withHeader(4, 0xFFFFFFF0u, 4), false},
      {"height field 1", withHeader(8, 1, 4), false},
      {"negative height", withHeader(8, 0xFFFFFFE0u, 4), false},
      {"height field not doubled", withHeader(8, 16, 4), true},
      {"16 bits per pixel", withHeader(14, 16, 2), false},
      {"0 bits per pixel", withHeader(14, 0, 2), false},
      {"bit fields", withHeader(16, 3, 4), false},
      {"colours used past the image", withHeader(32, 0xFFFFFFFFu, 4), false},
      {"a PNG signature and nothing else", IcoFile({{std::string("\x89PNG\r\n\x1a\n", 8), 16, 32}}), false},
      {"a PNG without its header chunk", IcoFile({{FlatPng(16, 1).substr(0, 20), 16, 32}}), false},
  };
  for (const auto& c : cases) {
    const std::optional<IcoImage> result = ReadIcoForDrawing(c.bytes);
    EXPECT_EQ(result.has_value(), c.drawn) << c.what;
    if (result) {
      EXPECT_EQ(result->picture.width, result->width) << c.what;
      EXPECT_EQ(result->picture.pixels.size(),
                static_cast<std::size_t>(result->width) * static_cast<std::size_t>(result->height))
          << c.what;
    }
  }
}

TEST(IcoFileTest, CutMaskLeavesItsMissingRowsOpaque) {
  // The mask of the top row is the last four bytes of the image.
  DibSpec s;
  s.width = 2;
  s.height = 2;
  s.bitCount = 24;
  s.pixels = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
  s.mask = {true, true, true, false};
  const std::string dib = DibImage(s);
  const std::optional<IcoImage> image = ReadIcoForDrawing(IcoFile({{dib.substr(0, dib.size() - 4), 2, 24}}));
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->picture.pixels, (std::vector<std::uint32_t>{0xFF0000FFu, 0xFF00FF00u, 0u, 0xFFFFFFFFu}));
}

TEST(IcoFileTest, EntriesPastTheLimitAreNeverRead) {
  // Entries that all point at one image; the entries before index i have size 0.
  auto fileWithOnlyEntry = [](std::size_t good, std::size_t count) {
    const std::string image = FlatDib(8, 24, 0x010203);
    std::string out;
    PutLittle(out, 0, 2);
    PutLittle(out, 1, 2);
    PutLittle(out, static_cast<std::uint32_t>(count), 2);
    const std::uint32_t at = static_cast<std::uint32_t>(6 + 16 * count);
    for (std::size_t i = 0; i < count; ++i) {
      out += std::string(8, '\0');
      PutLittle(out, i == good ? static_cast<std::uint32_t>(image.size()) : 0, 4);
      PutLittle(out, at, 4);
    }
    return out + image;
  };
  EXPECT_TRUE(ReadIcoForDrawing(fileWithOnlyEntry(0, 300)).has_value());
  EXPECT_TRUE(ReadIcoForDrawing(fileWithOnlyEntry(kMaxIcoEntries - 1, 300)).has_value());
  EXPECT_FALSE(ReadIcoForDrawing(fileWithOnlyEntry(kMaxIcoEntries, 300)).has_value());
  EXPECT_FALSE(ReadIcoForDrawing(fileWithOnlyEntry(299, 300)).has_value());
}

TEST(IcoFileTest, SideLimitIsInclusiveAndRefusedBeforeAllocating) {
  auto oneBit = [](int width, int height) {
    DibSpec s;
    s.width = width;
    s.height = height;
    s.bitCount = 1;
    s.palette = {0x000000, 0xABCDEF};
    s.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 1);
    return IcoFile({{DibImage(s), 0, 1}});
  };
  const struct {
    int width;
    int height;
    bool accepted;
  } cases[] = {{kMaxIcoSide, 1, true}, {1, kMaxIcoSide, true}, {kMaxIcoSide + 1, 1, false}, {1, kMaxIcoSide + 1, false}};
  for (const auto& c : cases) {
    const std::optional<IcoImage> image = ReadIcoForDrawing(oneBit(c.width, c.height));
    EXPECT_EQ(image.has_value(), c.accepted) << c.width << " x " << c.height;
    if (image) {
      EXPECT_EQ(image->picture.pixels.back(), 0xFFABCDEFu);
    }
  }

  // Headers that promise huge images over a few bytes of data.
  std::string hugeDib = IcoFile({{FlatDib(16, 32, 0x123456), 16, 32}});
  PutAt(hugeDib, 22 + 4, 4096, 4);
  PutAt(hugeDib, 22 + 8, 8192, 4);
  std::string hugePng = IcoFile({{FlatPng(16, 0x123456), 0, 32}});
  for (const std::size_t at : {22u + 16u, 22u + 20u}) PutAt(hugePng, at, 0x88130000u, 4);  // 5000, big-endian
  for (const std::string& bytes : {hugeDib, hugePng}) {
    test::StartAllocationWatch();
    const std::optional<IcoImage> image = ReadIcoForDrawing(bytes);
    const std::size_t largest = test::StopAllocationWatch();
    EXPECT_FALSE(image.has_value());
    EXPECT_LT(largest, std::size_t{1} << 20) << "asked for " << largest << " bytes";
  }
}

// ---- random damage ---------------------------------------------------------------

// A file with every kind of image, damaged at random over and over: the reader
// must never read outside its input (the sanitizer build checks that) and what
// it returns must be a whole, premultiplied picture.
TEST(IcoFileTest, RandomDamageNeverEscapesTheInput) {
  std::vector<IcoEntry> entries;
  for (const int bits : {1, 4, 8, 24, 32}) {
    DibSpec s;
    s.width = 9;
    s.height = 9;
    s.bitCount = bits;
    for (int i = 0; i < 81; ++i) {
      s.pixels.push_back(bits <= 8 ? static_cast<std::uint32_t>(i % (1 << bits))
                                   : static_cast<std::uint32_t>(i) * 0x03050709u + (i % 3 == 0 ? 0x80000000u : 0u));
      s.mask.push_back(i % 5 == 0);
    }
    for (int i = 0; i < (bits <= 8 ? 1 << bits : 0); ++i) s.palette.push_back(static_cast<std::uint32_t>(i * 0x010305));
    entries.push_back({DibImage(s), 9, bits});
  }
  std::vector<std::uint32_t> pngPixels;
  for (int i = 0; i < 12 * 12; ++i) pngPixels.push_back(static_cast<std::uint32_t>(i) * 0x01020304u);
  entries.push_back({PngImage(12, 12, pngPixels), 12, 32});
  const std::string seed = IcoFile(entries);
  ASSERT_TRUE(ReadIcoForDrawing(seed).has_value());

  std::mt19937 random(20240611);
  const std::uint32_t interesting[] = {0, 1, 2, 0x7F, 0x80, 0xFF, 0xFFFF, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu,
                                       static_cast<std::uint32_t>(seed.size()),
                                       static_cast<std::uint32_t>(seed.size() + 1), 4096, 4097, 8192};
  int drawn = 0;
  int refused = 0;
  // QV_ICO_MUTATIONS asks for a longer run than the everyday one.
  const char* asked = std::getenv("QV_ICO_MUTATIONS");
  const int kRounds = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 20000;
  for (int round = 0; round < kRounds; ++round) {
    std::string bytes = seed;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      // Most damage goes where the reader makes its decisions: the directory
      // and the image headers.
      const bool structural = random() % 3 != 0;
      std::size_t at = structural ? random() % (6 + 16 * entries.size() + 48) : random() % bytes.size();
      if (structural && at >= 6 + 16 * entries.size()) {
        const std::size_t entry = random() % entries.size();
        at = test::IcoFileImageOffset(seed, entry) + (at - 6 - 16 * entries.size());
      }
      if (at >= bytes.size()) at = bytes.size() - 1;
      switch (random() % 4) {
        case 0:
          bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
          break;
        case 1:
          bytes[at] = static_cast<char>(random());
          break;
        case 2:
          if (at + 4 <= bytes.size()) PutAt(bytes, at, interesting[random() % std::size(interesting)], 4);
          break;
        default:
          bytes.resize(at);
          break;
      }
      if (bytes.empty()) break;
    }
    const std::optional<IcoImage> image = ReadIcoForDrawing(bytes);
    if (!image) {
      ++refused;
      continue;
    }
    ++drawn;
    ASSERT_GE(image->width, 1);
    ASSERT_LE(image->width, kMaxIcoSide);
    ASSERT_LE(image->height, kMaxIcoSide);
    ASSERT_EQ(image->picture.width, image->width);
    ASSERT_EQ(image->picture.height, image->height);
    ASSERT_EQ(image->picture.pixels.size(),
              static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height));
    for (const std::uint32_t p : image->picture.pixels) {
      ASSERT_LE(BlueOf(p), AlphaOf(p)) << "round " << round;
      ASSERT_LE(GreenOf(p), AlphaOf(p)) << "round " << round;
      ASSERT_LE(RedOf(p), AlphaOf(p)) << "round " << round;
    }
  }
  std::cout << "[          ] " << kRounds << " damaged files: " << drawn << " drawn, " << refused << " refused\n";
  RecordProperty("drawn", drawn);
  RecordProperty("refused", refused);
  // Both outcomes occur, or the damage is not reaching the interesting places.
  EXPECT_GT(drawn, kRounds / 10);
  EXPECT_GT(refused, kRounds / 10);
}

}  // namespace
}  // namespace qv::catalogue
